#!/usr/bin/env bash
# Installs what Somnaro needs on Debian 12 with one refresh of apt's lists:
#   tools/setup.sh all|x86_64|i686|wow64 BUILD   (as root; does nothing that
#                                                 is already done)
# all: everything the tests, the release, the pictures and the benchmark use;
# a target: only what running it needs. BUILD is the build tree, where the
# 32-bit Wine is laid out.
# Every architecture and source is known before that refresh: a refresh made
# before i386 was added would install amd64 libraries that no i386 list
# may offer at the same version (tools/apt.sh says why that matters).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=$1 build=$2
. "$here/apt.sh"
trap '[ -z "$apt_prefs" ] || rm -f "$apt_prefs"' EXIT

# What running the program needs; the rest is for the tests, the release,
# the pictures and the benchmark.
run_packages=(cmake make wine wine64 xvfb x11-apps x11-utils googletest python3
              fonts-wine fonts-liberation)
more_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 nsis
               git xdotool openssl wixl msitools faketime libxml2-utils python3-jsonschema
               python3-yaml osslsigncode/bookworm-backports)
# The i386 libraries Wine's 32-bit side loads; plain libraries, which change
# nothing for the 64-bit Wine.
wine32_libs=(libc6 libfontconfig1 libfreetype6 libasound2 libcapi20-3 libglib2.0-0
             libgphoto2-6 libgphoto2-port12 libgstreamer-plugins-base1.0-0
             libgstreamer1.0-0 libpcap0.8 libpulse0 libudev1 libusb-1.0-0 libx11-6
             libxext6 ocl-icd-libopencl1)

# Whether this kernel runs 32-bit x86 programs: a 96-byte static i386 program
# whose only work is to exit with 42. A kernel without IA-32 emulation refuses
# to start it.
i386_runs() {
  local probe rc=0
  probe=$(mktemp -p "$build")
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0\273\52\0\0\0\270\1\0\0\0\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ "$rc" = 42 ]
}

list=("${run_packages[@]}")
case "$target" in
  all) list+=("${more_packages[@]}") ;;
  x86_64) list+=(g++-mingw-w64-x86-64) ;;
  *) list+=(g++-mingw-w64-i686) ;;
esac
stale=0   # apt's lists predate a source or architecture added here
mkdir -p "$build"
if [ "$target" != x86_64 ]; then
  # Debian's i386 Wine runs the 32-bit targets: natively where the kernel can;
  # elsewhere, or when SOMNARO_I386=emulated asks, under qemu's user-mode
  # emulation, whose bookworm version loops for minutes in Wine's address-space
  # reservation (it ignores MAP_FIXED_NOREPLACE) where backports' 10.x does not.
  if [ "${SOMNARO_I386:-}" != emulated ] && i386_runs; then
    mode=native; echo "32-bit Wine: native"
  else
    mode=emulated
    if [ "${SOMNARO_I386:-}" = emulated ]; then echo "32-bit Wine: emulated under qemu (SOMNARO_I386=emulated)"
    else echo "32-bit Wine: emulated under qemu (this kernel runs no 32-bit code)"; fi
    list+=(qemu-user/bookworm-backports)
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    stale=1
  fi
  list+=("${wine32_libs[@]/%/:i386}" libz-mingw-w64)
fi
case " ${list[*]} " in
  */bookworm-backports*) apt_backports_source ;;
esac

mapfile -t missing < <(apt_missing "${list[@]}")
if [ ${#missing[@]} -gt 0 ] || [ "$stale" = 1 ] || [ "$apt_sources_changed" = 1 ]; then apt_refresh; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_install "${missing[@]}"
fi
if [ "$target" != x86_64 ]; then
  "$here/wine32-setup.sh" "$build/wine32" "$mode"
  [ "$target" = i686 ] || "$here/wow64-setup.sh" "$build/wine-wow64" "$build/wine32"
fi
