#!/usr/bin/env bash
# The installer run silently, as an administrator would: what it puts where
# on this Windows kind, its entry in Programs and Features as winget's
# manifest expects it, the delay changed by README-Windows.txt's command and
# kept by an upgrade, which replaces 0.5's LICENSE by LICENSE.txt, the
# installed saver started as Windows starts it, a
# running saver's file reported when it cannot be replaced or removed, and
# the administrator's options: a /DELAY= outside the rule refused, /DELAY=
# over a delay set before, /NOSCREENSAVER, the account named in install.log.
#   tests/installer/install_test.sh BUILD_DIR WORK_DIR TARGET
set -u
. "$(dirname "$0")/scenario.sh" "$@"

scenario install
# A delay outside the rule refuses the install before anything is written.
win "$dist/$setup" /S /DELAY=29
check "exit code of an install with /DELAY=29" 2 $?
server_down
check "what /DELAY=29 installed" "" "$(find "$drive_c" -iname Somnaro.scr; ls -d "$installed" 2>/dev/null
  reg_key system "$settings" && echo "$settings"; reg_key system "$entry" && echo "$entry")"
server_up
# The user's own timeout, and no saver active yet.
win reg add "HKCU\\$desktop" /v ScreenSaveTimeOut /d 420 /f
win reg add "HKCU\\$desktop" /v ScreenSaveActive /d 0 /f
win "$dist/$setup" /S
check "exit code of the install" 0 $?
# The account as Windows names it, whose screen saver the line must name.
win cmd /c 'echo %USERDOMAIN%\%USERNAME%>C:\account.txt'
account=$(tr -d '\r' <"$drive_c/account.txt")
server_down
check "install.log's account line" \
  "ACCOUNT Somnaro is now the screen saver of this account, and the checks were made for it: $account" \
  "$(head -n1 "$installed/install.log" | tr -d '\r')"
# One copy, in the folder where this Windows kind keeps 32-bit savers (on
# 64-bit Windows SysWOW64, and none in System32 as 64-bit programs see it).
check "every Somnaro.scr on drive C:" "./$scr_dir/Somnaro.scr" "$(cd "$drive_c" && find . -iname Somnaro.scr)"
check "Somnaro.scr as built" same "$(cmp -s "$build/bin/Somnaro.scr" "$scr_file" && echo same)"
check "files in the install folder" "LICENSE.txt README-Windows.txt install.log uninstall.exe" \
  "$(cd "$installed" && echo *)"
python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read("LICENSE.txt"))' \
  "$dist/$zip" >"$work/zip-licence.txt"
check "LICENSE.txt as in the zip" same "$(same "$work/zip-licence.txt" "$installed/LICENSE.txt")"
# Windows keeps the saver as a short path; Wine's short form of a path that is
# 8.3 already is the path itself, in the case of the folders on disk.
screen_saver=$(reg_value user "$desktop" SCRNSAVE.EXE)
check "SCRNSAVE.EXE" "sz:${scr,,}" "${screen_saver,,}"
check "ScreenSaveActive" "sz:1" "$(reg_value user "$desktop" ScreenSaveActive)"
check "ScreenSaveTimeOut" "sz:420" "$(reg_value user "$desktop" ScreenSaveTimeOut)"
check "HibernateDelay" "sz:60" "$(reg_value system "$settings" HibernateDelay)"
if [ "$target" = wow64 ]; then
  check "settings in the 64-bit view" absent "$(reg_key system 'Software\Veltrix' && echo present || echo absent)"
  check "uninstall entry in the 64-bit view" absent "$(reg_key system \
    'Software\Microsoft\Windows\CurrentVersion\Uninstall\Somnaro' && echo present || echo absent)"
fi
# Counted before the readiness checks write install.log.
kib=$(( ($(cat "$scr_file" "$installed"/{LICENSE.txt,README-Windows.txt,uninstall.exe} | wc -c) + 1023) / 1024 ))
entry_values "$entry" <<LIST
DisplayName|sz:Somnaro
DisplayVersion|sz:$version
Publisher|sz:Veltrix
DisplayIcon|sz:$scr
InstallLocation|sz:$folder
UninstallString|sz:"$folder\\uninstall.exe"
QuietUninstallString|sz:"$folder\\uninstall.exe" /S
EstimatedSize|dword:$kib
NoModify|dword:1
NoRepair|dword:1
LIST
# winget tells that the package is installed, and which version, by this entry.
check "the entry as setup.exe's winget manifest names it" "$(manifest_entry 0)" \
  "$(entry_shown "$entry")"

# README-Windows.txt's command for this Windows kind, run as it stands (on
# 64-bit Windows by the 64-bit reg.exe), then an upgrade over that delay and
# over 0.5's licence, which had no extension.
kind=$([ "$target" = wow64 ] && echo 64 || echo 32)-bit
read -ra set_delay < <(awk -v kind="($kind Windows)" '/^ *reg add / { command = $0 }
  index($0, kind) && command { print command; exit }' "$installed/README-Windows.txt" | tr -d '\r')
check "README-Windows.txt's delay command for $kind Windows" "reg add" "${set_delay[*]:0:2}"
cp "$top/LICENSE" "$installed/LICENSE"
server_up
win "${set_delay[@]}"
win "$dist/$setup" /S
check "exit code of the second install" 0 $?
check "files in the install folder after the upgrade" "LICENSE.txt README-Windows.txt install.log uninstall.exe" \
  "$(cd "$installed" && echo *)"
# The saver started as Windows' screen-saver start does: by the SCRNSAVE.EXE
# text with /s, from a process of the system's own width (a 64-bit cmd.exe on
# 64-bit Windows). It finds the stand-in tool in the Windows folder, where
# README-Windows.txt says to put it.
cp "$build/bin/psshutdown.exe" "$drive_c/windows/psshutdown.exe"
PSSHUTDOWN_LOG='C:\psshutdown.log' win cmd /c "${screen_saver#sz:} /s" &
saver=$!
for _ in $(seq 120); do [ -s "$drive_c/psshutdown.log" ] && break; sleep 1; done
check "what the installed saver asked for" '"psshutdown" -f -h -t 90' \
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
check "HibernateDelay after the installs" "sz:90" "$(reg_value system "$settings" HibernateDelay)"
check "Somnaro.scr after the failed runs" same "$(cmp -s "$build/bin/Somnaro.scr" "$scr_file" && echo same)"
check "SCRNSAVE.EXE after the failed runs" "$screen_saver" "$(reg_value user "$desktop" SCRNSAVE.EXE)"
check "uninstall entry after the failed runs" "sz:Somnaro" "$(reg_value system "$entry" DisplayName)"

# An administrator's upgrade: the delay given replaces the user's, and the
# account's choice of another saver stays.
server_up
win reg add "HKCU\\$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\Bubbles.scr' /f
win "$dist/$setup" /S /DELAY=120 /NOSCREENSAVER
check "exit code of an install with /DELAY=120 /NOSCREENSAVER" 0 $?
server_down
check "HibernateDelay after /DELAY=120" "sz:120" "$(reg_value system "$settings" HibernateDelay)"
check "SCRNSAVE.EXE after /NOSCREENSAVER" 'sz:C:\windows\system32\Bubbles.scr' \
  "$(reg_value user "$desktop" SCRNSAVE.EXE)"
check "install.log's account line after /NOSCREENSAVER" \
  "ACCOUNT The screen saver was left as it was. The checks were made for this account: $account" \
  "$(head -n1 "$installed/install.log" | tr -d '\r')"
finish
