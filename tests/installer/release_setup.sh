#!/usr/bin/env bash
# Before the installer tests of one Windows kind: the release made into
# WORK_DIR/dist by the very script `./somnaro.sh release` runs, unsigned
# whatever signing key the environment names and without winget's manifests;
# the same release signed into WORK_DIR/signed with the certificate of a
# throw-away authority made into WORK_DIR/ca, with the manifests for an
# address of its own; and a prefix of that kind (TARGET i686: 32-bit Windows,
# wow64: 64-bit Windows) made once, as the template every scenario copies.
#   tests/installer/release_setup.sh BUILD_DIR WORK_DIR TARGET
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=$2
target=$3
rm -rf "$work"
mkdir -p "$work"
unset "${!SOMNARO_SIGN_@}" SOMNARO_RELEASE_URL
"$top/installer/make-release.sh" "$build" "$work/dist"
"$top/tests/installer/throwaway_ca.sh" "$work/ca"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
SOMNARO_SIGN_CERT=$work/ca/leaf.pem SOMNARO_SIGN_KEY=$work/ca/leaf.key \
  SOMNARO_RELEASE_URL=https://example.invalid/somnaro/$version/ \
  "$top/installer/make-release.sh" "$build" "$work/signed"

[ -n "${DISPLAY:-}" ] || { echo "FAIL: DISPLAY is not set"; exit 1; }
# Made ready as the suite's own prefixes are, then left with its server down.
export WINEPREFIX=$work/template
. "$top/tools/wine-session.sh"
prefix_up "$target"
wine_at "$target" wineserver -k
timeout 60 "$top/tools/wine-exec.sh" "$target" wineserver -w
echo "release in $work/dist: $(cd "$work/dist" && echo *); $target template prefix in $work/template"
