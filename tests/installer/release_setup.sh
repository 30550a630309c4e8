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
# Made ready as the suite's own prefixes are, then left with its server down.
export WINEPREFIX=$work/template
. "$top/tools/wine-session.sh"
prefix_up i686
wine_at i686 wineserver -k
timeout 60 "$top/tools/wine-exec.sh" i686 wineserver -w
echo "release in $work/dist: $(cd "$work/dist" && echo *); template prefix in $work/template"
