#!/usr/bin/env bash
# Signs one Windows program or MSI package in place, as the release asks
# through its environment, so that Windows can tell who made the file and that
# nobody changed it since:
#   installer/sign-file.sh FILE      signs FILE
#   installer/sign-file.sh --wanted  prints yes or no: whether signing is asked
# With SOMNARO_SIGN_CERT and SOMNARO_SIGN_KEY (PEM: the certificate followed
# by any intermediates, and its key), or SOMNARO_SIGN_PKCS12 and
# SOMNARO_SIGN_PASSWORD_FILE, osslsigncode signs with SHA-256 at the time
# SOURCE_DATE_EPOCH (now when unset), so the same key gives the same bytes.
# With SOMNARO_SIGN_COMMAND instead, that command signs, given FILE's path as
# its last argument: for keys that never leave a token or a signing service.
# SOMNARO_SIGN_TIMESTAMP, a timestamp server's address, adds a timestamp.
# A half-given set of these fails, either way, rather than ship unsigned.
set -euo pipefail
cert=${SOMNARO_SIGN_CERT:-} key=${SOMNARO_SIGN_KEY:-}
p12=${SOMNARO_SIGN_PKCS12:-} pass=${SOMNARO_SIGN_PASSWORD_FILE:-}
command=${SOMNARO_SIGN_COMMAND:-} timestamp=${SOMNARO_SIGN_TIMESTAMP:-}
fail() { echo "sign-file.sh: $*" >&2; exit 2; }

ways=0
[ -z "$cert$key" ] || ways=$((ways + 1))
[ -z "$p12$pass" ] || ways=$((ways + 1))
[ -z "$command" ] || ways=$((ways + 1))
[ "$ways" -le 1 ] || fail "give one of SOMNARO_SIGN_CERT/KEY, SOMNARO_SIGN_PKCS12/PASSWORD_FILE and SOMNARO_SIGN_COMMAND"
{ [ -n "$cert" ] && [ -n "$key" ]; } || [ -z "$cert$key" ] || fail "SOMNARO_SIGN_CERT and SOMNARO_SIGN_KEY go together"
{ [ -n "$p12" ] && [ -n "$pass" ]; } || [ -z "$p12$pass" ] || fail "SOMNARO_SIGN_PKCS12 and SOMNARO_SIGN_PASSWORD_FILE go together"
[ "$ways" = 1 ] || [ -z "$timestamp" ] || fail "SOMNARO_SIGN_TIMESTAMP without a key to sign with"

if [ "${1:-}" = --wanted ]; then
  [ "$ways" = 1 ] && echo yes || echo no
  exit 0
fi
file=${1:?usage: sign-file.sh FILE | --wanted}
[ "$ways" = 1 ] || fail "nothing to sign $file with: no SOMNARO_SIGN_* set"
[ -f "$file" ] || fail "no file $file"

# osslsigncode writes only a new file; the signed one then replaces FILE.
new=$file.signed
rm -f "$new"
if [ -n "$command" ]; then
  sh -c "$command \"\$1\"" sign-command "$file" || fail "SOMNARO_SIGN_COMMAND failed on $file"
else
  if [ -n "$cert" ]; then with=(-certs "$cert" -key "$key"); else with=(-pkcs12 "$p12" -readpass "$pass"); fi
  [ -z "${SOURCE_DATE_EPOCH:-}" ] || with+=(-time "$SOURCE_DATE_EPOCH")
  osslsigncode sign "${with[@]}" -h sha256 -n Somnaro -in "$file" -out "$new" >/dev/null ||
    fail "osslsigncode could not sign $file"
  mv "$new" "$file"
fi
if [ -n "$timestamp" ]; then
  osslsigncode add -ts "$timestamp" -in "$file" -out "$new" >/dev/null ||
    fail "no timestamp from $timestamp for $file"
  mv "$new" "$file"
fi
# A command that ends well without signing must not go unnoticed.
osslsigncode extract-signature -in "$file" -out "$new" >/dev/null 2>&1 || fail "$file carries no signature"
rm -f "$new"
