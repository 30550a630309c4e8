#!/usr/bin/env bash
# The shipped Somnaro.scr: a PE32 GUI executable for i386, no larger than
# 200 KiB, that imports only Windows' KnownDLLs (which Windows never takes
# from the program's folder) and carries the hardening flags: ASLR, DEP,
# terminal-server aware, and no SEH handlers (honest only while no code of it
# stores to %fs:0, where a handler frame would be registered).
set -u
scr=$1
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "$0")/tools_needed.sh"
tools_needed i686-w64-mingw32-objdump:binutils-mingw-w64-i686
[ -f "$scr" ] || fail "no file $scr"
head=$(i686-w64-mingw32-objdump -f "$scr")
echo "$head" | grep -q 'file format pei-i386' || fail "not PE32 i386: $head"
info=$(i686-w64-mingw32-objdump -p "$scr")
echo "$info" | grep -q 'Magic.*010b' || fail "optional header is not PE32"
echo "$info" | grep -qE 'Subsystem[[:space:]]+00000002' || fail "not the GUI subsystem"
known='^(kernel32|user32|gdi32|advapi32|ole32|shell32|msvcrt)\.dll$'
dlls=$(echo "$info" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
[ -n "$dlls" ] || fail "no import table found"
for d in $dlls; do
  echo "$d" | grep -qE "$known" || fail "imports $d, which is not a KnownDLL"
done
flags=$(echo "$info" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE NO_SEH; do
  echo "$flags" | grep -qw "$flag" || fail "not marked $flag"
done
stores=$(i686-w64-mingw32-objdump -d "$scr" | grep -cE ',%fs:(0x0)?(\(|$)')
[ "$stores" = 0 ] || fail "$stores stores to %fs:0, yet marked NO_SEH"
size=$(stat -c %s "$scr")
[ "$size" -le $((200 * 1024)) ] || fail "$size bytes, more than 200 KiB"
echo "imports: $(echo $dlls)"
echo "flags: $(echo "$flags" | sed -n 's/^[[:space:]]\+\([A-Z_]\+\)$/\1/p' | tr '\n' ' ')"
echo "size: $size bytes"
echo "1 passed, 0 failed"
