#!/usr/bin/env bash
# The installer run silently, as an administrator would: what it puts where,
# the installed saver scheduling with the stored delay, an upgrade keeping the
# user's delay, and a running saver's file reported when it cannot be replaced
# or removed.
#   tests/installer/install_test.sh BUILD_DIR WORK_DIR
set -u
. "$(dirname "$0")/scenario.sh" "$@"
settings='Software\Veltrix\Somnaro'
folder='C:\Program Files\Somnaro'

scenario install
scr=$drive_c/windows/system32/Somnaro.scr
installed=$drive_c/Program\ Files/Somnaro
# The user's own timeout, and no saver active yet.
win reg add "HKCU\\$desktop" /v ScreenSaveTimeOut /d 420 /f
win reg add "HKCU\\$desktop" /v ScreenSaveActive /d 0 /f
win "$dist/$setup" /S
check "exit code of the install" 0 $?
server_down
check "Somnaro.scr in the system folder" same "$(cmp -s "$build/bin/Somnaro.scr" "$scr" && echo same)"
check "files in the install folder" "README-Windows.txt uninstall.exe" "$(cd "$installed" && echo *)"
# Wine's short form of a path that is 8.3 already is the path itself.
check "SCRNSAVE.EXE" 'sz:C:\windows\system32\Somnaro.scr' "$(reg_value user "$desktop" SCRNSAVE.EXE)"
check "ScreenSaveActive" "sz:1" "$(reg_value user "$desktop" ScreenSaveActive)"
check "ScreenSaveTimeOut" "sz:420" "$(reg_value user "$desktop" ScreenSaveTimeOut)"
check "HibernateDelay" "sz:60" "$(reg_value system "$settings" HibernateDelay)"
kib=$(( ($(cat "$scr" "$installed"/* | wc -c) + 1023) / 1024 ))
while IFS='|' read -r name expected; do
  check "uninstall entry: $name" "$expected" "$(reg_value system "$entry" "$name")"
done <<LIST
DisplayName|sz:Somnaro
DisplayVersion|sz:$version
Publisher|sz:Veltrix
DisplayIcon|sz:C:\\windows\\system32\\Somnaro.scr
InstallLocation|sz:$folder
UninstallString|sz:"$folder\\uninstall.exe"
QuietUninstallString|sz:"$folder\\uninstall.exe" /S
EstimatedSize|dword:$kib
NoModify|dword:1
NoRepair|dword:1
LIST

# An upgrade over a delay the user chose; the saver then schedules with it,
# finding the stand-in tool in the Windows folder.
server_up
win reg add "HKLM\\$settings" /v HibernateDelay /d 45 /f
win "$dist/$setup" /S
check "exit code of the second install" 0 $?
cp "$build/bin/psshutdown.exe" "$drive_c/windows/psshutdown.exe"
PSSHUTDOWN_LOG='C:\psshutdown.log' win 'C:\windows\system32\Somnaro.scr' /s &
saver=$!
for _ in $(seq 120); do [ -s "$drive_c/psshutdown.log" ] && break; sleep 1; done
check "what the installed saver asked for" '"psshutdown" -f -h -t 45' \
  "$(tr -d '\r' <"$drive_c/psshutdown.log" 2>/dev/null)"

# The running saver's file can be neither replaced nor removed: each run says
# so in its exit code and leaves the installation as it was. (The uninstaller
# is run as NSIS runs its own copy in %TEMP%; see uninstall_test.sh.)
win "$dist/$setup" /S
check "exit code of an install over the running saver" 2 $?
cp "$installed/uninstall.exe" "$drive_c/uninstall-copy.exe"
win cmd /c "C:\\uninstall-copy.exe /S _?=$folder"
check "exit code of uninstalling the running saver" 2 $?
server_down
wait "$saver"
check "HibernateDelay after the installs" "sz:45" "$(reg_value system "$settings" HibernateDelay)"
check "Somnaro.scr after the failed runs" same "$(cmp -s "$build/bin/Somnaro.scr" "$scr" && echo same)"
check "SCRNSAVE.EXE after the failed runs" 'sz:C:\windows\system32\Somnaro.scr' \
  "$(reg_value user "$desktop" SCRNSAVE.EXE)"
check "uninstall entry after the failed runs" "sz:Somnaro" "$(reg_value system "$entry" DisplayName)"
finish
