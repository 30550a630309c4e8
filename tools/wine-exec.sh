#!/bin/sh
# Runs a Windows program of the build under Wine, in the build tree's private
# prefix unless the caller chose one.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/x86_64/wineprefix}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
export WINEARCH=win64
exec wine "$@"
