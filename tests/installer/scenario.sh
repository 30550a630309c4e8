# Sourced by the installer tests: a Wine prefix of the target's Windows kind
# for each scenario, copied from the template that release_setup.sh made once
# per run, and what a scenario left in it, read from the Linux side.
#   scenario NAME             $prefix and $drive_c: a fresh copy of the
#                             template, its server started
#   server_down / server_up   the prefix's server stopped (which ends its
#                             programs and writes the registry into its
#                             files) and started again
#   win PROGRAM [ARGS...]     a Windows program run there with a time limit;
#                             returns its exit code
#   reg_value user|system KEY NAME
#                             a value as saved: "sz:TEXT" for REG_SZ,
#                             "dword:N" in decimal, the saved text of any
#                             other type, nothing when there is no such value
#   reg_key user|system KEY   true when the key exists
#   entry_values KEY <<LIST   each NAME|EXPECTED line of LIST checked against
#                             that value of the uninstall entry KEY
#   entry_shown KEY           what winget finds an installed package by in
#                             the uninstall entry KEY: its key's name, its
#                             DisplayName, Publisher and DisplayVersion, one a
#                             line
#   manifest FIELD            a field of the signed release's winget manifests
#                             (see winget_manifest.py)
#   manifest_entry N          what those manifests expect entry_shown to be for
#                             their installer N: its ProductCode, then the
#                             name, publisher and version its
#                             AppsAndFeaturesEntries give, or the package's
#   msi_property FILE NAME    a property of an MSI package, as its Property
#                             table holds it
#   present COMMAND...        "present" when COMMAND succeeds, else "absent"
#   same FILE1 FILE2          "same" when the two files are equal, else "different"
#   check WHAT EXPECTED ACTUAL  one named comparison
#   finish                    the counts; fails when any check failed
# Sourced with the test's own arguments, BUILD_DIR WORK_DIR TARGET, where
# TARGET is i686 (32-bit Windows) or wow64 (64-bit Windows, where the 32-bit
# installer and saver run under WoW64). It sets $top (the source tree), $build,
# $work (the run's folder in the build tree), $version, $dist (the release
# made there) with the file names $setup, $zip and $msi, $manifests (the
# folder of the signed release's winget manifests), the registry key $desktop,
# and where the installation goes on this Windows kind: $scr and $folder as
# Windows names them, $scr_file and $installed on the Linux side, and the keys
# $vendor, $settings and $entry as they are saved (in WOW6432Node on 64-bit
# Windows).

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$top/tests/tools_needed.sh"
tools_needed msiinfo:msitools osslsigncode:osslsigncode i686-w64-mingw32-objdump:binutils-mingw-w64-i686
# A maintainer's signing key and address are for real releases: the tests'
# releases are signed, and have winget's manifests, only where a test asks.
unset "${!SOMNARO_SIGN_@}" SOMNARO_RELEASE_URL
build=$1
work=$2
target=${3:-i686}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
dist=$work/dist
manifests=$work/signed/winget/manifests/v/Veltrix/Somnaro/$version
setup=Somnaro-$version-setup.exe
zip=Somnaro-$version-win32.zip
msi=Somnaro-$version.msi
desktop='Control Panel\Desktop'
case "$target" in
  i686)
    scr='C:\windows\system32\Somnaro.scr'; scr_dir=windows/system32
    folder='C:\Program Files\Somnaro'; folder_dir='Program Files/Somnaro'; node='' ;;
  wow64)
    # What a 32-bit program's System32, Program Files and HKLM\Software are
    # for every other program.
    scr='C:\windows\SysWOW64\Somnaro.scr'; scr_dir=windows/syswow64
    folder='C:\Program Files (x86)\Somnaro'; folder_dir='Program Files (x86)/Somnaro'
    node='Wow6432Node\' ;;
  *) echo "FAIL: unknown target $target"; exit 1 ;;
esac
vendor="Software\\${node}Veltrix"
settings="$vendor\\Somnaro"
entry="Software\\${node}Microsoft\\Windows\\CurrentVersion\\Uninstall\\Somnaro"

failures=0
passes=0
prefix=""

wine_at() { "$top/tools/wine-exec.sh" "$target" "$@"; }

server_up() {
  # A prefix's server must first start with DISPLAY set, or no window can
  # ever be made in it.
  [ -n "${DISPLAY:-}" ] || { echo "FAIL: DISPLAY is not set"; exit 1; }
  wine_at wineserver -p
}

server_down() {
  wine_at wineserver -k 2>/dev/null || true
  timeout 60 "$top/tools/wine-exec.sh" "$target" wineserver -w 2>/dev/null || true
}

scenario() {
  [ -z "$prefix" ] || server_down
  prefix=$work/scenarios/$1
  drive_c=$prefix/drive_c
  scr_file=$drive_c/$scr_dir/Somnaro.scr
  installed=$drive_c/$folder_dir
  rm -rf "$prefix"
  mkdir -p "$work/scenarios"
  "$top/tools/prefix-copy.sh" "$work/template" "$prefix" || { echo "FAIL: the template prefix could not be copied"; exit 1; }
  export WINEPREFIX=$prefix
  trap server_down EXIT
  server_up
}

win() {
  local rc=0
  timeout 600 "$top/tools/wine-exec.sh" "$target" "$@" >>"$prefix/wine.log" 2>&1 || rc=$?
  return "$rc"
}

reg_value() {
  python3 - "$prefix/$1.reg" "$2" "$3" <<'PY'
import re, sys
path, key, name = sys.argv[1:]
header = "[" + key.replace("\\", "\\\\").lower() + "]"
inside = False
for line in open(path, encoding="utf-8", errors="replace"):
    line = line.rstrip("\n")
    if line.startswith("["):
        inside = line[: line.rfind("]") + 1].lower() == header
        continue
    m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)$', line) if inside else None
    if not m or re.sub(r"\\(.)", r"\1", m.group(1)).lower() != name.lower():
        continue
    data = m.group(2)
    if data.startswith('"'):
        print("sz:" + re.sub(r"\\(.)", r"\1", data[1:-1]))
    elif data.startswith("dword:"):
        print("dword:%d" % int(data[6:], 16))
    else:
        print(data)
    break
PY
}

# Wine saves a key only as a section of its own or as the start of a
# subkey's section.
reg_key() {
  local saved; saved=$(printf '%s' "$2" | sed 's/\\/\\\\/g')
  grep -qiF -e "[$saved]" -e "[$saved\\\\" "$prefix/$1.reg"
}

entry_values() {
  local name expected
  while IFS='|' read -r name expected; do
    check "uninstall entry: $name" "$expected" "$(reg_value system "$1" "$name")"
  done
}

entry_shown() {
  local name value
  echo "${1##*\\}"
  for name in DisplayName Publisher DisplayVersion; do
    value=$(reg_value system "$1" "$name")
    echo "${value#sz:}"
  done
}

manifest() { python3 "$top/tests/installer/winget_manifest.py" "$manifests" "$1"; }

manifest_entry() {
  local installer=installer.Installers.$1 pair value
  manifest "$installer.ProductCode"
  for pair in DisplayName:PackageName Publisher:Publisher DisplayVersion:PackageVersion; do
    value=$(manifest "$installer.AppsAndFeaturesEntries.0.${pair%:*}")
    echo "${value:-$(manifest "defaultLocale.${pair#*:}")}"
  done
}

msi_property() {
  msiinfo export "$1" Property | tr -d '\r' | awk -F'\t' -v name="$2" '$1 == name { print $2 }'
}

present() { "$@" && echo present || echo absent; }
same() { cmp -s "$1" "$2" && echo same || echo different; }

check() {
  if [ "$2" = "$3" ]; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAIL: $1: expected [$2], got [$3]"
  fi
}

finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" = 0 ]
}
