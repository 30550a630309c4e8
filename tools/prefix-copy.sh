#!/bin/sh
# A copy of a Wine prefix whose server is down, cheap on disk and in time:
#   tools/prefix-copy.sh FROM TO     (TO must not exist)
# Wine's own programs and libraries under C:\windows are nearly all of a
# prefix (1.3 GB of a 64-bit one) and nothing writes them once it is made: the
# copy shares them with FROM through hard links and gets its own copy of
# everything else, so that what one prefix writes never shows in another.
cp -a --link "$1" "$2" &&
find "$2" -type f -links +1 ! \( -ipath "$2/drive_c/windows/*" \
    -regextype posix-extended -iregex '.*\.(dll|drv|exe|sys|ocx|acm|cpl|tlb|ax|ds)$' \) \
    -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f" || exit 1; done' _ {} +
