# Sourced by the set-up scripts: apt's package lists refreshed and packages
# installed, the same way everywhere.
#   apt_refresh            apt-get update; a failure is one warning, not the end
#   apt_install PACKAGE... apt-get install; a failure ends the set-up, naming
#                          the packages that are still not installed
# A mirror that is re-syncing one list, or one broken extra source, fails
# `apt-get update` although the lists apt already has can install everything
# the set-up needs; only the install itself tells whether they could.
apt_refresh_failed=0

apt_refresh() {
  local log cause
  log=$(mktemp)
  if ! apt-get update -qq >"$log" 2>&1; then
    # apt's first error names the list and the reason (a mirror sync, a
    # missing release file); the lines after it repeat or explain it. Some
    # failures (a bad signature) come as warnings only. Found nothing, grep
    # fails, which under the callers' pipefail would end the set-up here.
    cause=$({ grep -m1 '^E: ' "$log" || grep -m1 '^W: ' "$log" || true; } | sed 's/^[EW]: //')
    echo "warning: apt-get update failed (${cause:-exit code without a message}); going on with the package lists apt has" >&2
    apt_refresh_failed=1
  fi
  rm -f "$log"
}

# A PACKAGE may carry a release (name/bookworm-backports) or a version
# (name=1.0); a package counts as installed under its name alone.
apt_install() {
  local p name missing=() codename
  apt_get_install "$@" && return
  # A list that failed to refresh for one architecture only (i386 security
  # updates, say) leaves the other at newer versions, and packages that must
  # match across architectures cannot be installed. The release's own lists
  # are the set every architecture has; its updates come with the next
  # refresh that works.
  if [ "$apt_refresh_failed" = 1 ]; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if [ -n "$codename" ]; then
      echo "warning: installing from $codename's own package lists, since the refresh failed" >&2
      apt_get_install -t "$codename" "$@" && return
    fi
  fi
  for p in "$@"; do
    name=${p%%/*}; name=${name%%=*}
    dpkg -s "$name" >/dev/null 2>&1 || missing+=("$name")
  done
  echo "could not install: ${missing[*]:-$*}" >&2
  exit 1
}

# Never removes a package to make room: a set-up that would have to is told
# so by apt's failure instead (seen here: the release's older i386 libraries
# would have cost the installed Wine).
apt_get_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends --no-remove "$@" >/dev/null
}
