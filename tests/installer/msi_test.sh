#!/usr/bin/env bash
# The MSI package run silently by Windows Installer (Wine's msiexec), as a
# deployment tool runs it, in one chain on one computer of this Windows kind:
# delays that are refused with nothing installed; an install, what it puts
# where, its one entry (as winget's manifest expects it), and
# HKEY_CURRENT_USER left alone; a given delay; an upgrade to a later package
# that keeps the delay, even one above the maximum; a downgrade refused; the
# same package again; an uninstall that leaves nothing but a key of the
# vendor's that is not Somnaro's; the largest delay allowed, and setup.exe
# refusing beside it; and the package's refusal where setup.exe's Somnaro is
# installed.
#   tests/installer/msi_test.sh BUILD_DIR WORK_DIR TARGET
set -u
. "$(dirname "$0")/scenario.sh" "$@"

# A later release of the same files, made by the release's own script.
IFS=. read -r major minor _ <<<"$version"
later_version=$major.$((minor + 1))
later=$work/later/Somnaro-$later_version.msi
rm -rf "$work/later"
SOMNARO_RELEASE_VERSION=$later_version "$top/installer/make-release.sh" "$build" "$work/later" >/dev/null ||
  { echo "FAIL: no later release"; exit 1; }
code=$(msi_property "$dist/$msi" ProductCode)
later_code=$(msi_property "$later" ProductCode)
check "product codes of two versions differ" yes "$([ -n "$code" ] && [ "$code" != "$later_code" ] && echo yes)"

# msiexec VERB PACKAGE [PROPERTY=VALUE...]: msiexec's exit code in full. A
# process's status reaches Linux cut to 8 bits (1603 as 67), so a batch file
# waits for msiexec and writes its code down. Each run's log is kept, numbered
# by a count in the prefix: the function runs in $(...), whose variables end
# with it.
msiexec() {
  local verb=$1 package=$2 runs
  shift 2
  runs=$(( $(cat "$prefix/msiexec-runs" 2>/dev/null || echo 0) + 1 ))
  echo "$runs" >"$prefix/msiexec-runs"
  printf '@start "" /wait msiexec %s "%s" /qn /l*v C:\\msiexec-%s.log %s\r\n@echo %%errorlevel%%>C:\\msiexec-rc.txt\r\n' \
    "$verb" "Z:${package//\//\\}" "$runs" "$*" >"$drive_c/msiexec.cmd"
  rm -f "$drive_c/msiexec-rc.txt"
  win cmd /c 'C:\msiexec.cmd'
  tr -d '\r\n' <"$drive_c/msiexec-rc.txt" 2>/dev/null
}

# The uninstall entries, in either registry view, that show Somnaro in
# Programs and Features (Windows writes an MSI's entry in the 64-bit view,
# this Wine in the 32-bit one).
entries() {
  python3 - "$prefix/system.reg" <<'PY'
import re, sys
found, key = [], None
pattern = re.compile(r"\[(software\\\\(?:wow6432node\\\\)?microsoft\\\\windows\\\\currentversion\\\\uninstall\\\\[^\\\]]+)\]", re.I)
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    if line.startswith("["):
        m = pattern.match(line)
        key = m.group(1).replace("\\\\", "\\") if m else None
    elif key and line.rstrip("\n") == '"DisplayName"="Somnaro"':
        found.append(key)
print(" ".join(found))
PY
}

# HKEY_CURRENT_USER as saved: every key and value but Wine's own, without
# the times of saving.
user_registry() {
  python3 - "$prefix/user.reg" <<'PY'
import sys
keep = False
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    line = line.rstrip("\n")
    if line.startswith("["):
        line = line[: line.rfind("]") + 1]
        keep = not line.lower().startswith("[software\\\\wine")
    if keep and line and not line.startswith("#"):
        print(line)
PY
}

# Their last parts: an MSI's product code, setup.exe's Somnaro.
codes() { entries | sed 's/[^ ]*\\//g'; }

# Nothing of the package's anywhere: files, folder, settings in both views,
# uninstall entry, the installer's cached copy and icon. The vendor's key is
# EXPECTED (absent or present).
nothing_left() {
  local key
  check "any Somnaro.scr on drive C: ($1)" "" "$(find "$drive_c" -iname Somnaro.scr)"
  check "install folder ($1)" absent "$(present test -e "$installed")"
  for key in 'Software\Veltrix\Somnaro' 'Software\Wow6432Node\Veltrix\Somnaro'; do
    check "$key ($1)" absent "$(present reg_key system "$key")"
  done
  check "vendor key ($1)" "$2" "$(present reg_key system "$vendor")"
  check "uninstall entries ($1)" "" "$(entries)"
  check "files the installer keeps ($1)" "" "$(find "$drive_c/windows/Installer" -type f 2>/dev/null)"
}

scenario msi
# A delay that is not a whole number from 30 to 86400 stops the install
# before anything is written.
for bad in abc 29 30.5 86401; do
  check "exit code with HIBERNATEDELAY=$bad" 1603 "$(msiexec /i "$dist/$msi" HIBERNATEDELAY=$bad)"
done
server_down
nothing_left "after the refused delays" absent
user_before=$(user_registry)

server_up
check "exit code of the install" 0 "$(msiexec /i "$dist/$msi")"
server_down
# One copy, in the folder where this Windows kind keeps 32-bit savers.
check "every Somnaro.scr on drive C:" "./$scr_dir/Somnaro.scr" "$(cd "$drive_c" && find . -iname Somnaro.scr)"
check "Somnaro.scr as built" same "$(same "$build/bin/Somnaro.scr" "$scr_file")"
check "files in the install folder" "LICENSE.txt README-Windows.txt" "$(cd "$installed" && echo *)"
for f in LICENSE.txt README-Windows.txt; do
  python3 -c 'import sys, zipfile; sys.stdout.buffer.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2]))' \
    "$dist/$zip" "$f" >"$work/zip-$f"
  check "$f as in the zip" same "$(same "$work/zip-$f" "$installed/$f")"
done
check "README-Windows.txt names the product code" 1 "$(grep -c -F "$code" "$work/zip-README-Windows.txt")"
check "HibernateDelay of a new install" "sz:60" "$(reg_value system "$settings" HibernateDelay)"
if [ "$target" = wow64 ]; then
  check "settings in the 64-bit view" absent "$(present reg_key system 'Software\Veltrix')"
fi
msi_entry=$(entries)
check "uninstall entries" "$code" "$(codes)"
entry_values "$msi_entry" <<LIST
DisplayName|sz:Somnaro
DisplayVersion|sz:$version
Publisher|sz:Veltrix
InstallLocation|sz:$folder\\
NoModify|dword:1
LIST
check "the entry as the package's winget manifest names it" "$(manifest_entry 1)" \
  "$(entry_shown "$msi_entry")"
# Programs and Features shows an MSI's icon from the product's registration.
icon=$(sed -n 's/^"ProductIcon"="\(.*\)"$/\1/p' "$prefix/system.reg" | sed 's/\\\\/\//g; s/^C://')
check "product icon" same "$(same "$top/resources/somnaro.ico" "$drive_c$icon")"
check "HKEY_CURRENT_USER changed by the install" "" \
  "$(diff <(echo "$user_before") <(user_registry) | grep '^[<>]' | head -5)"

server_up
check "exit code of the uninstall" 0 "$(msiexec /x "$dist/$msi")"
server_down
nothing_left "after the uninstall" absent

server_up
check "exit code of an install with HIBERNATEDELAY=120" 0 "$(msiexec /i "$dist/$msi" HIBERNATEDELAY=120)"
server_down
check "HibernateDelay given" "sz:120" "$(reg_value system "$settings" HibernateDelay)"

# The Settings dialog allows delays above the installer's maximum; an
# upgrade keeps such a delay rather than failing on it.
server_up
win reg add "HKLM\\Software\\Veltrix\\Somnaro" /v HibernateDelay /d 100000 /f /reg:32
check "exit code of the upgrade to $later_version" 0 "$(msiexec /i "$later")"
server_down
check "uninstall entries after the upgrade" "$later_code" "$(codes)"
check "DisplayVersion after the upgrade" "sz:$later_version" "$(reg_value system "$(entries)" DisplayVersion)"
check "HibernateDelay after the upgrade" "sz:100000" "$(reg_value system "$settings" HibernateDelay)"
check "Somnaro.scr after the upgrade" same "$(same "$build/bin/Somnaro.scr" "$scr_file")"

server_up
check "exit code of the downgrade to $version" 1603 "$(msiexec /i "$dist/$msi")"
check "exit code of the same package again" 0 "$(msiexec /i "$later")"
server_down
check "uninstall entries after the downgrade and the same package" "$later_code" "$(codes)"
check "HibernateDelay after the downgrade and the same package" "sz:100000" \
  "$(reg_value system "$settings" HibernateDelay)"

server_up
win reg add "HKLM\\Software\\Veltrix\\Other" /v Kept /d yes /f /reg:32
check "exit code of the uninstall of $later_version" 0 "$(msiexec /x "$later")"
server_down
nothing_left "after the uninstall of $later_version" present
check "the vendor's other key" "sz:yes" "$(reg_value system "$vendor\\Other" Kept)"

# The largest delay allowed, past what a condition's integer literal is
# documented to hold.
server_up
check "exit code of an install with HIBERNATEDELAY=86400" 0 "$(msiexec /i "$dist/$msi" HIBERNATEDELAY=86400)"
# setup.exe refuses where the package's Somnaro is installed, changing nothing.
win "$dist/$setup" /S /DELAY=90
check "exit code of setup.exe over the package's" 2 $?
server_down
check "HibernateDelay given as the maximum" "sz:86400" "$(reg_value system "$settings" HibernateDelay)"
check "uninstall entries after setup.exe's refusal" "$code" "$(codes)"
check "files in the install folder after setup.exe's refusal" "LICENSE.txt README-Windows.txt" \
  "$(cd "$installed" && echo *)"
server_up
check "exit code of its uninstall" 0 "$(msiexec /x "$dist/$msi")"

# setup.exe's Somnaro installed: the package refuses, and adds nothing.
win "$dist/$setup" /S
check "exit code of setup.exe" 0 $?
check "exit code of the install over setup.exe's" 1603 "$(msiexec /i "$dist/$msi")"
server_down
check "uninstall entries beside setup.exe's" Somnaro "$(codes)"
check "files of setup.exe's installation" "LICENSE.txt README-Windows.txt install.log uninstall.exe" \
  "$(cd "$installed" && echo *)"
check "msiexec's logs, one per run" "$(cat "$prefix/msiexec-runs")" "$(ls "$drive_c" | grep -c '^msiexec-[0-9]*\.log$')"
finish
