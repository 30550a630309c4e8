#!/usr/bin/env bash
# What `./somnaro.sh release` ships, as release_setup.sh made it: exactly the
# installer, the zip, the MSI package and SHA256SUMS, and no winget manifests
# without an address to publish at; in the zip exactly the saver as built,
# README-Windows.txt and the licence as LICENSE.txt with CRLF line ends, that
# same installer and the administrative template; the company and copyright
# in the version records of the saver and the installer; checksums that
# verify; and the same bytes again from a second run of the script, which
# says it wrote no manifests; and a release for an address that is not
# https:// stopped at once.
#   tests/installer/release_files_test.sh BUILD_DIR WORK_DIR
set -u
. "$(dirname "$0")/scenario.sh" "$@"
. "$top/installer/product.env"

# The texts of a program's version record (its first VS_VERSION_INFO), one
# NAME=VALUE a line: each node is its length, its value's length, its type
# (1: text), its UTF-16 name, then its value and its children, each at a
# multiple of 4 bytes.
version_strings() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
def walk(at, end):
    while at + 6 <= end:
        length, value_length, kind = struct.unpack_from("<3H", data, at)
        if not length:
            return
        name_end = at + 6
        while data[name_end:name_end + 2] != b"\0\0":
            name_end += 2
        value = (name_end + 5) & ~3
        if kind == 1 and value_length:
            text = data[value:at + length].decode("utf-16-le").split("\0")[0]
            print(data[at + 6:name_end].decode("utf-16-le") + "=" + text)
        else:
            walk((value + value_length * (2 if kind == 1 else 1) + 3) & ~3, at + length)
        at = (at + length + 3) & ~3
root = data.find("VS_VERSION_INFO".encode("utf-16-le")) - 6
if root >= 0:
    walk(root, root + struct.unpack_from("<H", data, root)[0])
PY
}

check "files in dist" "$(printf '%s\n' SHA256SUMS "$setup" "$zip" "$msi" | LC_ALL=C sort | xargs)" \
  "$(cd "$dist" && LC_ALL=C ls | xargs)"
check "entries of the zip" \
  "Somnaro.scr README-Windows.txt LICENSE.txt $setup policy/Somnaro.admx policy/en-US/Somnaro.adml" \
  "$(python3 -c 'import sys, zipfile; print(*zipfile.ZipFile(sys.argv[1]).namelist())' "$dist/$zip")"
rm -rf "$work/unzipped"
python3 -m zipfile -e "$dist/$zip" "$work/unzipped"
check "Somnaro.scr in the zip" same "$(same "$build/bin/Somnaro.scr" "$work/unzipped/Somnaro.scr")"
check "installer in the zip" same "$(same "$dist/$setup" "$work/unzipped/$setup")"
for f in policy/Somnaro.admx policy/en-US/Somnaro.adml; do
  check "$f in the zip" same "$(same "$top/$f" "$work/unzipped/$f")"
done
check "LICENSE.txt in the zip, its line ends aside" same \
  "$(same "$top/LICENSE" <(tr -d '\r' <"$work/unzipped/LICENSE.txt"))"
for f in README-Windows.txt LICENSE.txt; do
  check "$f line ends" "CRLF only" "$(python3 -c '
import sys
text = open(sys.argv[1], "rb").read()
lines = text.count(b"\n")
print("CRLF only" if lines > 10 and text.count(b"\r\n") == lines == text.count(b"\r") else "mixed")
' "$work/unzipped/$f")"
done
# Explorer's Details show these from the version record; the copyright is
# the licence's own.
check "LICENSE's copyright line" "$COPYRIGHT" "$(grep -m1 '^Copyright' "$top/LICENSE")"
for f in Somnaro.scr "$setup"; do
  check "version record of $f" "CompanyName=$PUBLISHER LegalCopyright=$COPYRIGHT" \
    "$(version_strings "$work/unzipped/$f" | grep -e '^CompanyName=' -e '^LegalCopyright=' | xargs -d '\n')"
done
# Windows draws a DPI-aware installer's pages at the display's scale instead
# of stretching a blurred 96-dpi picture of them.
check "dpiAware in the installer's manifest" true "$(python3 -c '
import sys, xml.etree.ElementTree as ET
sys.path.insert(0, sys.argv[1])
from manifest_check import resource, SETTINGS
root = ET.fromstring(resource(open(sys.argv[2], "rb").read(), 24, 1))
print(*[d.text for d in root.iter(SETTINGS + "dpiAware")])
' "$top/tests" "$dist/$setup")"
check "README-Windows.txt names the installer" 1 \
  "$(tr -d '\r' <"$work/unzipped/README-Windows.txt" | grep -c -x " *Somnaro-$version-setup.exe /S")"
check "README-Windows.txt's placeholders left" "" "$(grep -o '@[A-Z_]*@' "$work/unzipped/README-Windows.txt")"
# The properties a managed install (Group Policy, Intune) passes on from its
# command line, by name and nothing else: a stray character drops one.
check "SecureCustomProperties of $msi" \
  "HIBERNATEDELAY SOMNARO_EXISTING_DELAY SOMNARO_SETUP_ENTRY WIX_DOWNGRADE_DETECTED WIX_UPGRADE_DETECTED" \
  "$(msi_property "$dist/$msi" SecureCustomProperties | tr ';' '\n' | LC_ALL=C sort | xargs -d '\n')"
check "sha256sum -c" "$setup: OK $zip: OK $msi: OK" "$(cd "$dist" && sha256sum -c SHA256SUMS 2>&1 | tr '\n' ' ' | sed 's/ $//')"

# A second run, with new times on every file it copies, gives the same bytes.
said=$("$top/installer/make-release.sh" "$build" "$work/again")
for f in "$setup" "$zip" "$msi" SHA256SUMS; do
  check "$f made again" same "$(same "$dist/$f" "$work/again/$f")"
done
check "what the release says of winget" "no winget manifests written: no SOMNARO_RELEASE_URL set" \
  "$(grep -F 'winget manifests' <<<"$said")"

# winget downloads over https only: any other address stops the release
# before it makes anything, its folder included.
for url in http://example.invalid/somnaro/ example.invalid/somnaro/ "https://example.invalid/some naro/" \
           https://; do
  rm -rf "$work/refused"
  SOMNARO_RELEASE_URL=$url "$top/installer/make-release.sh" "$build" "$work/refused" 2>/dev/null
  check "exit code of a release for \"$url\"" 2 $?
  check "a release for \"$url\"" absent "$(present test -e "$work/refused")"
done
finish
