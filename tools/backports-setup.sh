#!/usr/bin/env bash
# Lets apt install from Debian bookworm-backports, for the few tools whose
# bookworm versions fall short (qemu-user for the emulated Wine, osslsigncode
# for signed releases):
#   tools/backports-setup.sh [PACKAGE...]   (as root; does nothing that is
#                                            already done)
# Backports comes from the mirror this machine's apt already uses for
# bookworm, so the set-up follows whatever mirror a machine is set up with.
# Each PACKAGE is installed from backports unless its backports version is
# installed already.
set -euo pipefail
. "$(dirname "$0")/apt.sh"
mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Release: bookworm' 'Identifier: Packages' | head -n1)
[ -n "$mirror" ] || { echo "apt's sources name no Debian bookworm mirror" >&2; exit 1; }
sources=/etc/apt/sources.list.d/bookworm-backports.sources
backports="Types: deb
URIs: $mirror
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
stale=0   # apt's lists predate the sources file
if [ "$(cat "$sources" 2>/dev/null)" != "$backports" ]; then
  printf '%s\n' "$backports" >"$sources"
  stale=1
fi

missing=()
for p in "$@"; do
  case "$(dpkg-query -W -f '${Status} ${Version}' "$p" 2>/dev/null)" in
    "install ok installed "*~bpo*) ;;
    *) missing+=("$p/bookworm-backports") ;;
  esac
done
if [ ${#missing[@]} -gt 0 ]; then
  apt_refresh; stale=0
  echo "installing from bookworm-backports: ${missing[*]}"
  apt_install "${missing[@]}"
fi
[ "$stale" = 0 ] || apt_refresh
