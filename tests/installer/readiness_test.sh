#!/usr/bin/env bash
# The installer's readiness checks, run silently as an administrator deploys:
# each check in both states, set up the way Windows keeps them (the power
# settings' HibernateEnabled, the tool in the Windows folder, on the PATH or
# only where the saver never looks, the tool's EulaAccepted for the account or
# for the computer, the screen-saver policy), read back from install.log. The installation succeeds either way,
# and never accepts the licence itself.
#   tests/installer/readiness_test.sh BUILD_DIR WORK_DIR TARGET
set -u
. "$(dirname "$0")/scenario.sh" "$@"
power='HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Power'
# The template accepts the licence for its account, as a user who ran the tool.
eula='HKEY_CURRENT_USER\Software\Sysinternals'
eula_computer='HKEY_LOCAL_MACHINE\Software\Sysinternals'
links='Program Files/WinGet/Links'
policy='HKEY_CURRENT_USER\Software\Policies\Microsoft\Windows\Control Panel\Desktop'

# install.log as "STATE CHECK" per line, joined by commas, each check known by
# the word its line must say.
findings() {
  local state text what list=()
  while read -r state text; do
    [ "$state" = ACCOUNT ] && continue   # whose checks these are: install_test.sh
    case "${text,,}" in
      *hibernation*) what=hibernation ;;
      *psshutdown.exe*) what=psshutdown.exe ;;
      *licence*) what=licence ;;
      *policy*) what=policy ;;
      *) what="[$text]" ;;
    esac
    list+=("$state $what")
  done < <(tr -d '\r' <"$installed/install.log")
  local IFS=,
  echo "${list[*]}"
}

# installed_in NAME TOOL EXPECTED <<REG: the registry changed by the lines of
# a .reg file on standard input, the tool put where TOOL says, then an
# install, whose install.log must say EXPECTED. TOOL is windows (the Windows
# folder), path (an absolute entry of the PATH: winget's machine-wide Links
# folder, where its command for the tool is a link, here a copy), here (only the
# installer's current folder, which relative PATH entries lead to, and which
# the saver never looks in) or no.
installed_in() {
  { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; sed 's/$/\r/'; } >"$drive_c/state.reg"
  win reg import 'C:\state.reg'
  rm -rf "$drive_c/windows/psshutdown.exe" "$drive_c/$links" "$work/here"
  mkdir -p "$work/here"
  case "$2" in
    windows) cp "$build/bin/psshutdown.exe" "$drive_c/windows/" ;;
    path) mkdir -p "$drive_c/$links"; cp "$build/bin/psshutdown.exe" "$drive_c/$links/" ;;
    here) cp "$build/bin/psshutdown.exe" "$work/here/" ;;
  esac
  # Wine puts WINEPATH's entries before the PATH.
  (cd "$work/here" && WINEPATH=".;..\\here;C:\\${links//\//\\}" win "$dist/$setup" /S)
  check "exit code ($1)" 0 $?
  check "install.log ($1)" "$3" "$(findings)"
}

# Savers as a .reg file writes them, with doubled backslashes.
other_saver='C:\\windows\\system32\\Bubbles.scr'
forced=${scr^^}
forced=${forced//\\/\\\\}
all_ok="OK hibernation,OK psshutdown.exe,OK licence,OK policy"

scenario readiness
installed_in "nothing ready" here "PROBLEM hibernation,PROBLEM psshutdown.exe,PROBLEM policy" <<REG
[$power]
"HibernateEnabled"=dword:0
[$policy]
"ScreenSaveActive"="0"
REG
installed_in "licence open, another saver forced" windows \
  "OK hibernation,OK psshutdown.exe,PROBLEM licence,PROBLEM policy" <<REG
[-$eula]
[$power]
"HibernateEnabled"=dword:1
[$policy]
"ScreenSaveActive"=-
"SCRNSAVE.EXE"="$other_saver"
REG
win reg query 'HKCU\Software\Sysinternals\PsShutdown' /v EulaAccepted
check "EulaAccepted, left to the user (reg query's exit code)" 1 $?
# reg.exe is the 64-bit one on 64-bit Windows: the value lies in the 64-bit
# view, where the tool reads it.
installed_in "ready, licence for the computer, Somnaro forced" windows "$all_ok" <<REG
[$eula_computer]
"EulaAccepted"=dword:1
[$policy]
"ScreenSaveActive"="1"
"SCRNSAVE.EXE"="$forced"
REG
check "install.log's licence line" \
  "OK The psshutdown licence is accepted for every account of this computer (HKEY_LOCAL_MACHINE\Software\Sysinternals)." \
  "$(tr -d '\r' <"$installed/install.log" | grep licence)"
installed_in "ready, licence for the tool, no policy" path "$all_ok" <<REG
[-$eula_computer]
[$eula\PsShutdown]
"EulaAccepted"=dword:1
[$power]
"HibernateEnabled"=-
[-$policy]
REG
# winget installs the tool for this account into its Links folder and names
# that folder in the account's PATH in the registry, with a variable; then it
# starts the installer with its own PATH, which predates that.
rm -rf "$drive_c/windows/psshutdown.exe" "$drive_c/$links"
user_links="$drive_c/users/$(id -un)/AppData/Local/Microsoft/WinGet/Links"
mkdir -p "$user_links"
cp "$build/bin/psshutdown.exe" "$user_links/"
win reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d '%LOCALAPPDATA%\Microsoft\WinGet\Links' /f
rm -f "$installed/install.log"
# No quotes around the installer's path, which has no blank: Wine would hand
# them on to cmd escaped.
win cmd /c "set PATH=C:\\windows\\system32;C:\\windows&& Z:${dist//\//\\}\\$setup /S"
check "exit code (the tool on the next sign-in's PATH)" 0 $?
check "install.log (the tool on the next sign-in's PATH)" "$all_ok" "$(findings)"
win reg delete 'HKCU\Environment' /v Path /f
rm -rf "$user_links"
if [ "$target" = wow64 ]; then
  # 64-bit Windows looks for a bare name in its own System32, not in SysWOW64.
  installed_in "Somnaro forced by its name alone" windows \
    "OK hibernation,OK psshutdown.exe,OK licence,PROBLEM policy" <<REG
[$policy]
"SCRNSAVE.EXE"="Somnaro.scr"
REG
  check "install.log names the path for the policy" 1 \
    "$(tr -d '\r' <"$installed/install.log" | grep -c -F 'Force specific screen saver: C:\windows\SysWOW64\Somnaro.scr')"
fi
finish
