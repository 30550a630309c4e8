#!/usr/bin/env bash
# The uninstaller run silently: it leaves no file, no uninstall entry and no
# settings behind, and stops Somnaro being the screen saver, but leaves a
# different saver and the vendor's other keys alone; run a second time it
# ends cleanly.
#   tests/installer/uninstall_test.sh BUILD_DIR WORK_DIR TARGET
set -u
. "$(dirname "$0")/scenario.sh" "$@"

# An NSIS uninstaller started from its folder copies itself to %TEMP%, starts
# the copy with _?=FOLDER and returns at once, so that the copy can remove the
# original. The tests take that step themselves, to wait for the run and see
# its exit code.
installed() {
  win "$dist/$setup" /S
  check "exit code of the install ($1)" 0 $?
  cp "$installed/uninstall.exe" "$drive_c/uninstall-copy.exe"
}
uninstall() {
  win cmd /c "C:\\uninstall-copy.exe /S _?=$folder"
  check "exit code of the uninstall ($1)" 0 $?
}
# In both registry views, whichever this Windows kind has.
nothing_left() {
  local key
  check "any Somnaro.scr on drive C: ($1)" "" "$(find "$drive_c" -iname Somnaro.scr)"
  check "install folder ($1)" absent "$([ -e "$installed" ] && echo present || echo absent)"
  for key in 'Software\Veltrix\Somnaro' 'Software\Wow6432Node\Veltrix\Somnaro' \
             'Software\Microsoft\Windows\CurrentVersion\Uninstall\Somnaro' \
             'Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Somnaro'; do
    check "$key ($1)" absent "$(reg_key system "$key" && echo present || echo absent)"
  done
}

scenario uninstall
installed "Somnaro is the saver"
# Windows' own Screen Saver settings may store the path in capitals.
win reg add "HKCU\\$desktop" /v SCRNSAVE.EXE /d "${scr^^}" /f
uninstall first
server_down
nothing_left first
check "Veltrix key, empty" absent "$(reg_key system "$vendor" && echo present || echo absent)"
check "SCRNSAVE.EXE" "" "$(reg_value user "$desktop" SCRNSAVE.EXE)"
check "ScreenSaveActive, left as it was" "sz:1" "$(reg_value user "$desktop" ScreenSaveActive)"
# Named again, while its file is gone: only the stored text can tell.
server_up
win reg add "HKCU\\$desktop" /v SCRNSAVE.EXE /d "${scr^^}" /f
uninstall second
server_down
nothing_left second
check "SCRNSAVE.EXE naming the missing file" "" "$(reg_value user "$desktop" SCRNSAVE.EXE)"

scenario other-saver
installed "another saver chosen"
win reg add "HKCU\\$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\Bubbles.scr' /f
win reg add "HKLM\\$vendor\\Other" /v Kept /d yes /f
uninstall "another saver chosen"
server_down
nothing_left "another saver chosen"
check "SCRNSAVE.EXE of another saver" 'sz:C:\windows\system32\Bubbles.scr' \
  "$(reg_value user "$desktop" SCRNSAVE.EXE)"
check "the vendor's other key" "sz:yes" "$(reg_value system "$vendor\\Other" Kept)"
finish
