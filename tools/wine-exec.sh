#!/bin/sh
# Runs a Windows program under the Wine of a target, in that target's private
# prefix (build/TARGET/wineprefix) unless the caller chose one:
#   tools/wine-exec.sh TARGET PROGRAM [ARGS...]
#   tools/wine-exec.sh TARGET wineserver [ARGS...]   that prefix's server
# The targets:
#   x86_64  the 64-bit build under wine64: the fast path
#   i686    32-bit programs in a 32-bit prefix, as on 32-bit Windows
#   wow64   32-bit programs in a 64-bit prefix, as on 64-bit Windows (WoW64)
# i686 and wow64 run 32-bit processes with the i386 Wine that
# tools/wine32-setup.sh laid out in build/wine32: natively where the kernel
# runs 32-bit code, else under qemu-i386 (build/wine32/.mode says which);
# wow64 starts them from the loader folder that tools/wow64-setup.sh laid out
# in build/wine-wow64.
here=$(cd "$(dirname "$0")/.." && pwd)
target=$1
shift
: "${WINEPREFIX:=$here/build/$target/wineprefix}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
case "$target" in
  x86_64)
    export WINEARCH=win64
    [ "$1" = wineserver ] && { shift; exec wineserver "$@"; }
    exec wine "$@" ;;
  i686|wow64)
    # The amd64 server of the same Wine version serves i386 processes too.
    export WINESERVER=/usr/lib/wine/wineserver64
    [ "$1" = wineserver ] && { shift; exec "$WINESERVER" "$@"; }
    emulator=""
    if [ "$(cat "$here/build/wine32/.mode" 2>/dev/null)" = emulated ]; then
      emulator=qemu-i386
      # Time limits inside the tests are multiplied by this under emulation.
      : "${SOMNARO_TIME_SCALE:=4}"
      export SOMNARO_TIME_SCALE
    fi
    if [ "$target" = i686 ]; then
      export WINEARCH=win32
      exec $emulator "$here/build/wine32/usr/lib/wine/wine" "$@"
    fi
    export WINEARCH=win64
    exec "$here/build/wine-wow64/lib/wine/wine64" "$@" ;;
  *)
    echo "usage: $0 x86_64|i686|wow64 PROGRAM [ARGS...]" >&2; exit 2 ;;
esac
