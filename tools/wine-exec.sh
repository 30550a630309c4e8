#!/bin/sh
# Runs a Windows program of the build under the Wine of its width, in that
# build's private prefix unless the caller chose one:
#   tools/wine-exec.sh x86_64|i686 PROGRAM [ARGS...]
#   tools/wine-exec.sh x86_64|i686 wineserver [ARGS...]   that prefix's server
# i686 programs run under the emulated 32-bit Wine that tools/wine32-setup.sh
# unpacked into build/wine32, since this kernel runs no 32-bit code.
here=$(cd "$(dirname "$0")/.." && pwd)
width=$1
shift
: "${WINEPREFIX:=$here/build/$width/wineprefix}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
case "$width" in
  x86_64)
    export WINEARCH=win64
    [ "$1" = wineserver ] && { shift; exec wineserver "$@"; }
    exec wine "$@" ;;
  i686)
    # The amd64 server of the same Wine version serves i386 processes too.
    export WINEARCH=win32 WINESERVER=/usr/lib/wine/wineserver64
    # Time limits inside the tests are multiplied by this under emulation.
    : "${SOMNARO_TIME_SCALE:=4}"
    export SOMNARO_TIME_SCALE
    [ "$1" = wineserver ] && { shift; exec "$WINESERVER" "$@"; }
    exec qemu-i386 "$here/build/wine32/usr/lib/wine/wine" "$@" ;;
  *)
    echo "usage: $0 x86_64|i686 PROGRAM [ARGS...]" >&2; exit 2 ;;
esac
