#!/usr/bin/env bash
# Makes what a Windows user downloads, from the i686 build tree:
#   installer/make-release.sh BUILD_DIR OUT_DIR
# writes into OUT_DIR Somnaro-VERSION-setup.exe (the installer),
# Somnaro-VERSION-win32.zip (Somnaro.scr as built, README-Windows.txt,
# LICENSE.txt, the installer and the administrative template in policy\),
# Somnaro-VERSION.msi (the package organisations deploy, built by make-msi.sh
# from the same files), SHA256SUMS and, when SOMNARO_RELEASE_URL names where
# the files will be published, winget's manifests in winget/ (make-winget.sh).
# The version is the build's CMake project version; SOMNARO_RELEASE_VERSION
# stands in for it, so that the tests can make a later release of the same
# files to upgrade to.
# Every time stamp that goes into the files is the commit's (or
# SOURCE_DATE_EPOCH's), so the same commit gives the same bytes.
# When the SOMNARO_SIGN_* variables ask for it (see sign-file.sh), Somnaro.scr,
# the uninstaller, the installer and the MSI package are signed, at that same
# time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# A wrong address stops the release before anything is made.
"$here/make-winget.sh" --check
# What the installers share, each name handed to their builds as a define.
. "$here/product.env"
shared=()
for name in $(sed -n 's/^\([A-Z_]*\)=.*/\1/p' "$here/product.env"); do
  shared+=("-D$name=${!name}")
done
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

version=${SOMNARO_RELEASE_VERSION:-$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")}
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }
IFS=. read -r major minor patch tweak <<<"$version"
quad=${major:-0}.${minor:-0}.${patch:-0}.${tweak:-0}
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || { echo "no commit to take the time from: set SOURCE_DATE_EPOCH" >&2; exit 1; }
export SOURCE_DATE_EPOCH=$epoch
signing=$("$here/sign-file.sh" --wanted)
setup=Somnaro-$version-setup.exe
zip=Somnaro-$version-win32.zip
msi=Somnaro-$version.msi

# The installer keeps each file's time. The README names the version and the
# MSI's product code; it and the licence get the CRLF line ends Notepad wants,
# and the licence the extension that lets Windows open it as text. The
# licence goes with every copy.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/bin/Somnaro.scr" "$stage/Somnaro.scr"
sign=()
if [ "$signing" = yes ]; then
  "$here/sign-file.sh" "$stage/Somnaro.scr"
  sign=(-DSIGN="$here/sign-file.sh")   # the uninstaller and the installer too
fi
product_code=$("$here/make-msi.sh" --product-code "$version")
sed "s/@VERSION@/$version/g; s/@VERSION_QUAD@/$quad/g; s/@PRODUCT_CODE@/$product_code/g; s/\r*\$/\r/" \
  "$here/README-Windows.txt" >"$stage/README-Windows.txt"
sed 's/\r*$/\r/' "$here/../LICENSE" >"$stage/LICENSE.txt"
touch -d "@$epoch" "$stage/Somnaro.scr" "$stage/README-Windows.txt" "$stage/LICENSE.txt"

makensis -V2 -WX -DVERSION="$version" -DVERSION_QUAD="$quad" -DSCR="$stage/Somnaro.scr" \
  -DREADME="$stage/README-Windows.txt" -DLICENSE="$stage/LICENSE.txt" \
  -DICON="$here/../resources/somnaro.ico" -DOUTFILE="$out/$setup" "${shared[@]}" "${sign[@]}" \
  "$here/somnaro.nsi"
cp "$out/$setup" "$stage/$setup"
# The administrative template an organisation sets the delay with.
cp -r "$here/../policy" "$stage/policy"

# A zip of fixed order and times; zipfile gives every entry the same mode.
python3 - "$out/$zip" "$epoch" "$stage" Somnaro.scr README-Windows.txt LICENSE.txt "$setup" \
  policy/Somnaro.admx policy/en-US/Somnaro.adml <<'PY'
import sys, time, zipfile
target, epoch, folder, names = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
stamp = time.gmtime(epoch)[:6]
with zipfile.ZipFile(target, "w") as archive:
    for name in names:
        entry = zipfile.ZipInfo(name, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(f"{folder}/{name}", "rb") as f:
            archive.writestr(entry, f.read(), compresslevel=9)
PY

# The MSI is not in the zip: it is for whoever deploys to many computers,
# who fetches it on its own.
"$here/make-msi.sh" "$version" "$stage" "$out/$msi" "${shared[@]}"

(cd "$out" && sha256sum "$setup" "$zip" "$msi" >SHA256SUMS)
echo "wrote $out: $setup $zip $msi SHA256SUMS"
# From the files as published: signed, when they are.
"$here/make-winget.sh" "$out" "$version" "$setup" "$msi"
