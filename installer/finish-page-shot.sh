#!/usr/bin/env bash
# Photographs the installer's final page for the README, as a user on 64-bit
# Windows sees it on a computer that is not ready: the release's installer run
# interactively in a fresh 64-bit prefix where hibernation is switched off and
# psshutdown.exe is missing, so the page shows those two findings.
#   installer/finish-page-shot.sh BUILD_DIR OUT.png [DPI]
# (BUILD_DIR: the i686 build; DPI: the display's, 96 unless given.)
# Needs DISPLAY set (somnaro.sh's virtual display) and xdotool, which presses
# Install as a user would.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=$2
work=$build/installer-shot
rm -rf "$work"
mkdir -p "$work" "$(dirname "$out")"
"$top/installer/make-release.sh" "$build" "$work/dist" >/dev/null
setup=$(ls "$work"/dist/*-setup.exe)

export WINEPREFIX=$work/prefix
. "$top/tools/wine-session.sh"
prefix_up wow64 "${3:-96}"
trap 'wine_at wow64 wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wine_at wow64 reg add 'HKLM\SYSTEM\CurrentControlSet\Control\Power' /v HibernateEnabled \
  /t REG_DWORD /d 0 /f >/dev/null 2>&1

wine_at wow64 "$setup" &
id=$(window_wait $! 'Somnaro .* Setup *')
[ -n "$id" ] || { echo "no installer window" >&2; exit 1; }
sleep 2   # let the first page settle before pressing Install
xdotool windowfocus --sync "$id" key Return
# The findings are written just before the final page shows.
log="$WINEPREFIX/drive_c/Program Files (x86)/Somnaro/install.log"
for _ in $(seq 300); do [ -s "$log" ] && break; sleep 0.2; done
[ -s "$log" ] || { echo "the installer wrote no install.log" >&2; exit 1; }
sleep 2   # let the final page paint
xwd -silent -id "$id" | python3 "$top/tools/xwd2png.py" "$out"
echo "saved $out"
