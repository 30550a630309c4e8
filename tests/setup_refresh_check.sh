#!/usr/bin/env bash
# The set-up's package-list refresh and install (tools/apt.sh), run as the
# set-up scripts run them, under set -euo pipefail, against a stand-in
# apt-get and dpkg first on the PATH: a failing refresh is one warning that
# names apt's cause and the install still comes; an install that the lists
# apt has cannot do is retried from the release's own lists only after a
# failed refresh; a failing install ends the set-up naming what is missing.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
# UPDATE and INSTALL say how the stand-in's update and install end: ok,
# error (an E: line), quiet (a W: line only), or plain (ok only with -t).
cat >"$work/bin/apt-get" <<'SH'
#!/bin/sh
echo "$*" >>"$CALLS"
case "$1:$UPDATE:$INSTALL" in
  update:ok:*) exit 0 ;;
  update:error:*)
    echo "W: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz"
    echo "E: Failed to fetch http://mirror.invalid/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
  update:quiet:*) echo "W: GPG error: http://mirror.invalid bookworm InRelease: The following signatures were invalid"; exit 100 ;;
  install:*:ok) exit 0 ;;
  install:*:plain) case " $* " in *" -t "*) exit 0 ;; esac ;;
esac
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100
SH
# Only tool-a counts as installed.
printf '#!/bin/sh\n[ "$1 $2" = "-s tool-a" ]\n' >"$work/bin/dpkg"
chmod +x "$work/bin/apt-get" "$work/bin/dpkg"
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || { echo "FAIL: /etc/os-release names no codename"; exit 1; }

failures=0 passes=0
check() {
  if [ "$2" = "$3" ]; then passes=$((passes + 1)); else
    failures=$((failures + 1)); echo "FAIL: $1: expected [$2], got [$3]"; fi
}

install="install -y -qq --no-install-recommends tool-a tool-b/bookworm-backports"
refresh_warning="warning: apt-get update failed (Failed to fetch http://mirror.invalid/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?); going on with the package lists apt has"
retry_warning="warning: installing from $codename's own package lists, since the refresh failed"
held="E: Unable to correct problems, you have held broken packages."
# update|install|exit code|what it said, lines joined by " / "|apt-get's calls, joined alike
while IFS='|' read -r update result code said calls; do
  : >"$work/calls"
  out=$(UPDATE=$update INSTALL=$result CALLS=$work/calls PATH="$work/bin:$PATH" bash -c '
    set -euo pipefail
    . "$1/tools/apt.sh"
    apt_refresh
    apt_install tool-a tool-b/bookworm-backports' _ "$top" 2>&1)
  rc=$?
  check "exit code ($update, $result)" "$code" "$rc"
  check "what it said ($update, $result)" "$said" "$(sed -z 's/\n$//; s/\n/ \/ /g' <<<"$out")"
  check "apt-get's calls ($update, $result)" "$calls" "$(sed -z 's/\n$//; s/\n/ \/ /g' "$work/calls")"
done <<LIST
error|ok|0|$refresh_warning|update -qq / $install
quiet|ok|0|warning: apt-get update failed (GPG error: http://mirror.invalid bookworm InRelease: The following signatures were invalid); going on with the package lists apt has|update -qq / $install
error|plain|0|$refresh_warning / $held / $retry_warning|update -qq / $install / install -y -qq --no-install-recommends -t $codename tool-a tool-b/bookworm-backports
ok|plain|1|$held / could not install: tool-b|update -qq / $install
error|error|1|$refresh_warning / $held / $retry_warning / $held / could not install: tool-b|update -qq / $install / install -y -qq --no-install-recommends -t $codename tool-a tool-b/bookworm-backports
LIST
echo "$passes passed, $failures failed"
[ "$failures" = 0 ]
