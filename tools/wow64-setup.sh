#!/usr/bin/env bash
# Lays out the loader folder that runs 32-bit programs in a 64-bit prefix, as
# 64-bit Windows runs them (WoW64):
#   tools/wow64-setup.sh DIR WINE32_DIR   (does nothing that is already done)
# WINE32_DIR is the i386 Wine that tools/wine32-setup.sh laid out. The
# system's wine64 then starts 32-bit processes through that Wine, natively or
# under qemu-i386 as it was laid out. Nothing outside DIR changes: `wine` and
# the x86_64 suite stay as they were.
#
# Why a folder of its own: Wine's ntdll takes its loader folder from the real
# path of the running loader (/proc/self/exe) and sets WINELOADER from it. For
# a 32-bit image it execs <folder>/wine, through <folder>/wine-preloader when
# that exists; a 32-bit process that starts a 64-bit one execs
# <folder>/wine64. So both loaders must be real files side by side here: a
# symlink to /usr/lib/wine/wine64 resolves to the system folder, which has no
# 32-bit `wine`, and every 32-bit program then fails to load syswow64's ntdll.
set -euo pipefail
dir=$1
wine32=$(cd "$2" && pwd)
wine_version=$(dpkg-query -W -f '${Version}' wine64)
stamp=$dir/.made-$wine_version
if [ ! -f "$stamp" ] || [ ! -x "$wine32/usr/lib/wine/wine" ]; then
  rm -rf "$dir"
  mkdir -p "$dir/lib/wine" "$dir/lib/x86_64-linux-gnu" "$dir/lib/i386-linux-gnu" "$dir/share"
  # Copies, not links: see above.
  cp /usr/lib/wine/wine64 "$dir/lib/wine/wine64"
  cp "$wine32/usr/lib/wine/wine" "$dir/lib/wine/wine"
  # One server, the system's 64-bit one, serves both kinds of process.
  ln -s /usr/lib/wine/wineserver64 "$dir/lib/wine/wineserver"
  # Each loader finds its DLLs relative to its own folder, as under /usr.
  ln -s /usr/lib/x86_64-linux-gnu/wine "$dir/lib/x86_64-linux-gnu/wine"
  ln -s "$wine32/usr/lib/i386-linux-gnu/wine" "$dir/lib/i386-linux-gnu/wine"
  ln -s /usr/share/wine "$dir/share/wine"
  touch "$stamp"
fi
# Every 32-bit process starts as WINE32_DIR's do: through its preloader,
# which keeps it under emulation, where it has one.
if [ -f "$wine32/usr/lib/wine/wine-preloader" ]; then
  cp "$wine32/usr/lib/wine/wine-preloader" "$dir/lib/wine/wine-preloader"
else
  rm -f "$dir/lib/wine/wine-preloader"
fi
