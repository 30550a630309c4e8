#!/usr/bin/env bash
# A certificate authority made for one test run and a code-signing
# certificate it issued, so that signed releases can be made and verified
# without any real key:
#   tests/installer/throwaway_ca.sh DIR
# writes into DIR ca.pem (the authority to verify against), leaf.pem and
# leaf.key (the certificate and its RSA key, with which the same input signs
# to the same bytes), and leaf.p12 with its password in leaf.pass.
set -euo pipefail
. "$(dirname "$0")/../tools_needed.sh"
tools_needed openssl:openssl
dir=$1
rm -rf "$dir"
mkdir -p "$dir"
cd "$dir"
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 \
  -subj "/CN=Somnaro test authority $(basename "$dir")" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -new -newkey rsa:2048 -nodes -keyout leaf.key -out leaf.csr -subj /CN=Somnaro-test 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >leaf.ext
openssl x509 -req -in leaf.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 \
  -extfile leaf.ext -out leaf.pem 2>/dev/null
echo "throw-away password" >leaf.pass
openssl pkcs12 -export -in leaf.pem -inkey leaf.key -passout file:leaf.pass -out leaf.p12
