#!/usr/bin/env bash
# What the set-up's refresh and install (tools/apt.sh) do when the mirror
# fails, against a stand-in apt-get and dpkg first on the PATH, run as the
# set-up scripts run them (set -euo pipefail). Real apt with a whole mirror is
# CI's fresh-machine run; these are the failures it cannot count on meeting:
# a suite whose list failed for one architecture is pinned away for every
# architecture in the install that follows, a warning-only failure still
# names its cause, and a failed install ends the set-up naming what is missing.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# UPDATE says how the stand-in's update ends: ok, error (one i386 list), or
# quiet (a W: line only); INSTALL: ok or error. An install copies the
# preferences it was given into $PINS.
cat >"$work/bin/apt-get" <<'SH'
#!/bin/sh
prefs=""
if [ "$1" = -o ]; then prefs=${2#Dir::Etc::Preferences=}; shift 2; fi
echo "$1${prefs:+ (pinned)}" >>"$CALLS"
[ -z "$prefs" ] || cat "$prefs" >"$PINS"
case "$1:$UPDATE:$INSTALL" in
  update:ok:*) exit 0 ;;
  update:error:*)
    echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
  update:quiet:*) echo "W: GPG error: http://mirror.invalid bookworm InRelease: The following signatures were invalid"; exit 100 ;;
  install:*:ok) exit 0 ;;
esac
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100
SH
# Only tool-a counts as installed.
printf '#!/bin/sh\n[ "$1 $2" = "-s tool-a" ]\n' >"$work/bin/dpkg"
chmod +x "$work/bin/apt-get" "$work/bin/dpkg"

failures=0 passes=0
check() {
  if [ "$2" = "$3" ]; then passes=$((passes + 1)); else
    failures=$((failures + 1)); echo "FAIL: $1: expected [$2], got [$3]"; fi
}

pin="Package: * / Pin: release n=bookworm-security / Pin-Priority: -1"
later="once the mirror is whole, apt-get update && apt-get upgrade brings them"
# update|install|exit code|what it said, lines joined by " / "|apt-get's calls|the pins
while IFS='|' read -r update result code said calls pins; do
  : >"$work/calls"; : >"$work/pins"
  out=$(UPDATE=$update INSTALL=$result CALLS=$work/calls PINS=$work/pins PATH="$work/bin:$PATH" bash -c '
    set -euo pipefail
    . "$1/tools/apt.sh"
    apt_refresh
    apt_install tool-a tool-b:i386' _ "$top" 2>&1)
  rc=$?
  check "exit code ($update, $result)" "$code" "$rc"
  check "what it said ($update, $result)" "$said" "$(sed -z 's/\n$//; s/\n/ \/ /g' <<<"$out")"
  check "apt-get's calls ($update, $result)" "$calls" "$(sed -z 's/\n$//; s/\n/ \/ /g' "$work/calls")"
  check "pins ($update, $result)" "$pins" "$(grep -v '^$' "$work/pins" | sed -z 's/\n$//; s/\n/ \/ /g')"
done <<LIST
error|ok|0|warning: apt-get update failed (Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?); going on with the package lists apt has, without the updates of bookworm-security; $later|update / install (pinned)|$pin
quiet|ok|0|warning: apt-get update failed (GPG error: http://mirror.invalid bookworm InRelease: The following signatures were invalid); going on with the package lists apt has; $later|update / install|
ok|error|1|E: Unable to correct problems, you have held broken packages. / could not install: tool-b:i386|update / install|
LIST
echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
