#!/usr/bin/env bash
# The shipped Somnaro.scr: a PE32 GUI executable for i386 that imports only
# the system DLLs the program is allowed to use.
set -u
scr=$1
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$scr" ] || fail "no file $scr"
head=$(i686-w64-mingw32-objdump -f "$scr")
echo "$head" | grep -q 'file format pei-i386' || fail "not PE32 i386: $head"
info=$(i686-w64-mingw32-objdump -p "$scr")
echo "$info" | grep -q 'Magic.*010b' || fail "optional header is not PE32"
echo "$info" | grep -qE 'Subsystem[[:space:]]+00000002' || fail "not the GUI subsystem"
allowed='^(kernel32|user32|gdi32|advapi32|comctl32|ole32|shell32|winmm|msvcrt)\.dll$'
dlls=$(echo "$info" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
[ -n "$dlls" ] || fail "no import table found"
for d in $dlls; do
  echo "$d" | grep -qE "$allowed" || fail "imports $d"
done
echo "imports: $(echo $dlls)"
echo "size: $(stat -c %s "$scr") bytes"
echo "1 passed, 0 failed"
