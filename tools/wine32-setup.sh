#!/usr/bin/env bash
# Prepares the emulated 32-bit Wine that runs the shipped i686 Somnaro.scr:
#   tools/wine32-setup.sh DIR      (as root; does nothing that is already done)
# This kernel runs no 32-bit code, so Debian 12's own i386 Wine runs under
# qemu's user-mode emulation. Nothing is installed that changes how `wine`
# behaves for the x86_64 build: the i386 Wine is unpacked into DIR, not
# installed, and no binfmt_misc handler is registered.
set -euo pipefail
dir=$1
. "$(dirname "$0")/apt.sh"
wine_version=$(dpkg-query -W -f '${Version}' wine64)

# qemu 7.2 (bookworm) ignores MAP_FIXED_NOREPLACE, and Wine's address-space
# reservation then loops for minutes; backports has 10.x, with static binaries.
"$(dirname "$0")/backports-setup.sh"
stale=0   # apt's lists predate a change made here
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  stale=1
fi

# The i386 libraries Wine's 32-bit side loads, installed normally: they are
# plain libraries and change nothing for the 64-bit Wine.
libs=(libc6 libfontconfig1 libfreetype6 libasound2 libcapi20-3 libglib2.0-0
      libgphoto2-6 libgphoto2-port12 libgstreamer-plugins-base1.0-0
      libgstreamer1.0-0 libpcap0.8 libpulse0 libudev1 libusb-1.0-0 libx11-6
      libxext6 ocl-icd-libopencl1)
missing=()
for l in "${libs[@]}"; do dpkg -s "$l:i386" >/dev/null 2>&1 || missing+=("$l:i386"); done
dpkg -s libz-mingw-w64 >/dev/null 2>&1 || missing+=(libz-mingw-w64)
qemu_major=$(qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p' || true)
if [ "${qemu_major:-0}" -lt 10 ] || [ ${#missing[@]} -gt 0 ]; then
  apt_refresh; stale=0
  echo "installing for the emulated 32-bit Wine: qemu-user ${missing[*]}"
  apt_install qemu-user/bookworm-backports "${missing[@]}"
fi

# wine32 and libwine of the installed wine64's version, unpacked privately:
# installing wine32 would make /usr/bin/wine choose the i386 loader.
stamp=$dir/.unpacked-$wine_version
if [ ! -f "$stamp" ]; then
  rm -rf "$dir"
  mkdir -p "$dir/debs"
  [ "$stale" = 0 ] || apt_refresh
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

  # Wine starts every new process through <bin>/wine-preloader LOADER ARGS;
  # this one keeps each child under emulation.
  printf '#!/bin/sh\nexec qemu-i386 "$@"\n' >"$dir/usr/lib/wine/wine-preloader"
  chmod +x "$dir/usr/lib/wine/wine-preloader"
  touch "$stamp"
fi
