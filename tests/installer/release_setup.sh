#!/usr/bin/env bash
# Before the installer tests of one Windows kind: the release made into
# WORK_DIR/dist by the very script `./somnaro.sh release` runs, unsigned
# whatever signing key the environment names; the same release signed into
# WORK_DIR/signed with the certificate of a throw-away authority made into
# WORK_DIR/ca; and a prefix of that kind (TARGET i686: 32-bit Windows, wow64:
# 64-bit Windows) made once, as the template every scenario copies.
#   tests/installer/release_setup.sh BUILD_DIR WORK_DIR TARGET
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=$2
target=$3
rm -rf "$work"
mkdir -p "$work"
unset "${!SOMNARO_SIGN_@}"
"$top/installer/make-release.sh" "$build" "$work/dist"
"$top/tests/installer/throwaway_ca.sh" "$work/ca"
SOMNARO_SIGN_CERT=$work/ca/leaf.pem SOMNARO_SIGN_KEY=$work/ca/leaf.key \
  "$top/installer/make-release.sh" "$build" "$work/signed"

[ -n "${DISPLAY:-}" ] || { echo "FAIL: DISPLAY is not set"; exit 1; }
# Made ready as the suite's own prefixes are, then left with its server down.
export WINEPREFIX=$work/template
. "$top/tools/wine-session.sh"
prefix_up "$target"
wine_at "$target" wineserver -k
timeout 60 "$top/tools/wine-exec.sh" "$target" wineserver -w
echo "release in $work/dist: $(cd "$work/dist" && echo *); $target template prefix in $work/template"
