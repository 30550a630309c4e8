# Sourced by the set-up scripts: apt's package lists refreshed and packages
# installed, the same way everywhere.
#   apt_backports_source   Debian bookworm-backports added to apt's sources,
#                          from the mirror apt already uses for bookworm (sets
#                          apt_sources_changed=1 where it was not there)
#   apt_refresh            apt-get update; a failure is one warning, not the end
#   apt_missing PACKAGE... prints those of PACKAGE that are not installed
#   apt_install PACKAGE... apt-get install; a failure ends the set-up, naming
#                          the packages that are still not installed
# A PACKAGE may carry a release (name/bookworm-backports: installed only as
# that release's version) and an architecture (name:i386).
#
# A mirror that is re-syncing one list, or one broken extra source, fails
# `apt-get update` although the lists apt has can install everything the
# set-up needs. But a suite whose list failed for one architecture only (the
# i386 security updates, say) would offer newer versions on the others, and a
# library installed for two architectures must be one version on both: the
# set-up then leaves that suite out for every architecture until a refresh
# works.
apt_prefs=""   # apt's preferences with the left-out suites pinned away
apt_sources_changed=0

# For the few tools whose bookworm versions fall short (qemu-user for the
# emulated Wine, osslsigncode for signed releases). The set-up follows
# whatever mirror a machine is set up with.
apt_backports_source() {
  local mirror sources=/etc/apt/sources.list.d/bookworm-backports.sources backports
  mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Release: bookworm' 'Identifier: Packages' | head -n1)
  if [ -z "$mirror" ]; then
    # A machine whose lists were never fetched: the mirror of its sources.
    mirror=$(sed -n 's|^URIs: *\([^ ]*/debian/\?\)$|\1|p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n1)
    [ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $2 ~ /\/debian\/?$/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
  fi
  [ -n "$mirror" ] || { echo "apt's sources name no Debian bookworm mirror" >&2; exit 1; }
  mirror=${mirror%/}/
  backports="Types: deb
URIs: $mirror
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
  [ "$(cat "$sources" 2>/dev/null)" != "$backports" ] || return 0
  printf '%s\n' "$backports" >"$sources"
  apt_sources_changed=1
}

apt_refresh() {
  local log cause suites s
  log=$(mktemp)
  if ! apt-get update -qq >"$log" 2>&1; then
    # apt's first error names the list and the reason (a mirror sync, a
    # missing release file); the lines after it repeat or explain it. Some
    # failures (a bad signature) come as warnings only. Found nothing, grep
    # fails, which under the callers' pipefail would end the set-up here.
    cause=$({ grep -m1 '^E: ' "$log" || grep -m1 '^W: ' "$log" || true; } | sed 's/^[EW]: //')
    suites=$(sed -n 's|.*/dists/\([^/ ]*\)/[^ ]*binary-[^/ ]*/.*|\1|p' "$log" | sort -u | tr '\n' ' ')
    suites=${suites% }
    echo "warning: apt-get update failed (${cause:-exit code without a message}); going on with the package lists apt has${suites:+, without the updates of ${suites// /, }}; once the mirror is whole, apt-get update && apt-get upgrade brings them" >&2
    if [ -n "$suites" ]; then
      apt_prefs=$(mktemp)
      cat /etc/apt/preferences >"$apt_prefs" 2>/dev/null || true
      for s in $suites; do
        printf '\nPackage: *\nPin: release n=%s\nPin-Priority: -1\n' "$s" >>"$apt_prefs"
      done
    fi
  fi
  rm -f "$log"
}

apt_missing() {
  local p name
  for p in "$@"; do
    name=${p%%/*}
    case "$p" in
      */*) case "$(dpkg-query -W -f '${Status} ${Version}' "$name" 2>/dev/null)" in
             "install ok installed "*~bpo*) ;;
             *) echo "$p" ;;
           esac ;;
      *) dpkg -s "$name" >/dev/null 2>&1 || echo "$p" ;;
    esac
  done
}

apt_install() {
  local missing
  apt_get install -y -qq --no-install-recommends --no-remove "$@" >/dev/null && return
  missing=$(apt_missing "$@" | sed 's|/.*||' | tr '\n' ' ')
  echo "could not install: ${missing% }" >&2
  apt_i386_blockers "$@"
  exit 1
}

# Every apt-get call of the set-up: with the suites left out, if any.
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get ${apt_prefs:+-o Dir::Etc::Preferences="$apt_prefs"} "$@"
}

# Why an i386 library cannot come on a machine set up before the set-up
# named i386 first: its amd64 twin came from a suite whose i386 list never
# arrived, and is newer than any i386 version apt knows. apt would remove the
# programs that use it to go on; --no-remove refuses that, and so does this
# set-up. It names those packages and the one command that puts them back at
# a version both architectures have.
apt_i386_blockers() {
  local p wanted=() blockers=() mend=() name installed newest
  for p in "$@"; do case "$p" in *:i386) wanted+=("${p%%/*}") ;; esac; done
  [ ${#wanted[@]} -gt 0 ] || return 0
  for name in $(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
                  --no-breaks --no-replaces --no-enhances "${wanted[@]}" 2>/dev/null |
                sed -n 's/^\([^ <]*\):i386$/\1/p' | sort -u); do
    installed=$(dpkg-query -W -f '${Version} ${Multi-Arch}' "$name:amd64" 2>/dev/null) || continue
    [ "${installed#* }" = same ] || continue
    installed=${installed% *}
    newest=$(apt-cache madison "$name:i386" | awk -F' [|] ' 'NR == 1 { gsub(/ /, "", $2); print $2 }')
    [ -n "$newest" ] && dpkg --compare-versions "$installed" gt "$newest" || continue
    blockers+=("$name $installed (i386 has $newest)")
    mend+=("$name=$newest")
  done
  [ ${#blockers[@]} -gt 0 ] || return 0
  printf 'These installed packages are newer than any i386 version apt has, and each must be one version on both architectures: %s.\n' "$(IFS=,; echo "${blockers[*]}" | sed 's/,/, /g')" >&2
  echo "This puts them at the i386 version and removes nothing; apt-get update && apt-get upgrade brings their updates back once the mirror is whole:" >&2
  echo "  apt-get install --no-remove --allow-downgrades ${mend[*]}" >&2
}
