#!/usr/bin/env bash
# Before the installer tests: the release made into WORK_DIR/dist by the very
# script `./somnaro.sh release` runs, and a prefix of the emulated 32-bit Wine
# made once, as the template every scenario copies.
#   tests/installer/release_setup.sh BUILD_DIR WORK_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
"$top/installer/make-release.sh" "$build" "$work/dist"

[ -n "${DISPLAY:-}" ] || { echo "FAIL: DISPLAY is not set"; exit 1; }
wine32() { "$top/tools/wine-exec.sh" i686 "$@"; }
export WINEPREFIX=$work/template
WINEDLLOVERRIDES="mscoree,mshtml=" timeout 600 "$top/tools/wine-exec.sh" i686 wineboot -i \
  >"$work/template.log" 2>&1
timeout 60 "$top/tools/wine-exec.sh" i686 wineserver -w
wine32 wineserver -p
# Without a window manager Wine waits whenever a managed window goes; a
# crashing program is reported and ended, not held open in a dialog.
timeout 120 "$top/tools/wine-exec.sh" i686 reg add 'HKCU\Software\Wine\X11 Driver' \
  /v Managed /d N /f >>"$work/template.log" 2>&1
timeout 120 "$top/tools/wine-exec.sh" i686 reg add 'HKCU\Software\Wine\WineDbg' \
  /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$work/template.log" 2>&1
wine32 wineserver -k
timeout 60 "$top/tools/wine-exec.sh" i686 wineserver -w
echo "release in $work/dist: $(cd "$work/dist" && echo *); template prefix in $work/template"
