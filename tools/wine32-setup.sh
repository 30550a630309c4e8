#!/usr/bin/env bash
# Lays out the 32-bit Wine that runs the shipped i686 Somnaro.scr, once its
# packages are installed (tools/setup.sh):
#   tools/wine32-setup.sh DIR native|emulated   (does nothing already done)
# Debian 12's own i386 Wine, of the installed wine64's version, is unpacked
# into DIR, not installed: installing wine32 would make /usr/bin/wine choose
# the i386 loader, and the x86_64 build must keep running under wine64.
# native: the kernel runs the loader and every 32-bit child as they are.
# emulated: for a kernel without 32-bit support, each runs under qemu-i386;
# no binfmt_misc handler is registered for it.
# DIR/.mode records which, for tools/wine-exec.sh.
set -euo pipefail
dir=$1 mode=$2
wine_version=$(dpkg-query -W -f '${Version}' wine64)
loader=$dir/usr/lib/wine

stamp=$dir/.unpacked-$wine_version
if [ ! -f "$stamp" ]; then
  rm -rf "$dir"
  mkdir -p "$dir/debs"
  (cd "$dir/debs" && apt-get download -qq -o APT::Sandbox::User=root "wine32:i386=$wine_version" "libwine:i386=$wine_version")
  for deb in "$dir"/debs/*.deb; do dpkg -x "$deb" "$dir"; done
  rm -rf "$dir/debs"

  # dpkg -x skips libwine's post-install step, which turns the mingw zlib1.dll
  # into a "Wine builtin" DLL; user32 needs it.
  for arch in i686:i386 x86_64:x86_64; do
    in=$(ls /usr/"${arch%%:*}"-w64-mingw32/lib/zlib1.dll)
    out=$dir/usr/lib/i386-linux-gnu/wine/${arch##*:}-windows/zlib1.dll
    { head -c 64 "$in"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$in"; } >"$out"
  done
  touch "$stamp"
fi

# Wine starts a new 32-bit process through <bin>/wine-preloader LOADER ARGS
# where that file exists (Debian's Wine has none): here, to keep each child
# under emulation.
if [ "$mode" = native ]; then
  rm -f "$loader/wine-preloader"
else
  printf '#!/bin/sh\nexec qemu-i386 "$@"\n' >"$loader/wine-preloader"
  chmod +x "$loader/wine-preloader"
fi
echo "$mode" >"$dir/.mode"
