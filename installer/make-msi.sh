#!/usr/bin/env bash
# Builds the MSI package from somnaro.wxs, the installer that organisations
# deploy with Group Policy, Intune or Configuration Manager:
#   installer/make-msi.sh VERSION STAGE OUT_FILE [-DNAME=value ...]
#   installer/make-msi.sh --product-code VERSION   prints that version's
#                                                  product code
# STAGE holds Somnaro.scr, README-Windows.txt and LICENSE.txt as the release
# staged them (signed, with their times set); the defines are what the
# installers share (product.env), as make-release.sh hands them to both
# builds.
# The same commit gives the same bytes: the product code is named by the
# upgrade code and the version (each version its own), the package code by
# the version and the commit, and the package's times are SOURCE_DATE_EPOCH's.
# When the SOMNARO_SIGN_* variables ask for it (see sign-file.sh), the
# package is signed, at that same time.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/product.env"

# Name-based (version 5) UUIDs in the upgrade code's namespace.
named_uuid() {
  python3 -c 'import sys, uuid; print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
    "$UPGRADE_CODE" "$1"
}
# Windows Installer tells versions apart by their first three fields only:
# versions it cannot tell apart share a product code, so that they never
# stand side by side in Programs and Features.
product_code() {
  local major minor patch
  IFS=. read -r major minor patch _ <<<"$1"
  named_uuid "Somnaro product ${major:-0}.${minor:-0}.${patch:-0}"
}
if [ "$1" = --product-code ]; then
  product_code "$2"
  exit 0
fi

version=$1
stage=$(cd "$2" && pwd)
out=$3
shift 3
: "${SOURCE_DATE_EPOCH:?the time of the commit}"
commit=$(git -C "$here" rev-parse HEAD 2>/dev/null || echo "time $SOURCE_DATE_EPOCH")
product_code=$(product_code "$version")
package_code=$(named_uuid "Somnaro package $version $commit")

# wixl finds sources only by paths relative to its working folder, and stores
# each file's time in the cabinet.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -p "$stage/Somnaro.scr" "$stage/README-Windows.txt" "$stage/LICENSE.txt" "$work/"
cp "$here/../resources/somnaro.ico" "$work/somnaro.ico"
touch -d "@$SOURCE_DATE_EPOCH" "$work/somnaro.ico"

# The summary's times are the clock's when wixl writes the package: a clock
# stopped at the commit's time.
stopped() { TZ=UTC faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" "$@"; }
# wixl takes a define only as a separate argument after -D.
defines=(-D "VERSION=$version" -D "PRODUCT_CODE=$product_code")
for d in "$@"; do defines+=(-D "${d#-D}"); done
msi=$work/Somnaro.msi
(cd "$work" && stopped wixl -a x86 "${defines[@]}" -o "$msi" "$here/somnaro.wxs")

# The properties a managed install passes on from the command line. wixl
# writes its own SecureCustomProperties (the upgrade's) and fails on a second
# one, so ours are added to it here.
ours="HIBERNATEDELAY;SOMNARO_EXISTING_DELAY;SOMNARO_SETUP_ENTRY"
theirs=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }')
if [ -n "$theirs" ]; then
  query="UPDATE Property SET Value = '$theirs;$ours' WHERE Property = 'SecureCustomProperties'"
else
  query="INSERT INTO Property (Property, Value) VALUES ('SecureCustomProperties', '$ours')"
fi
stopped msibuild "$msi" -q "$query"
# wixl makes up a package code each time; this one is derived.
stopped msibuild "$msi" -s Somnaro "$PUBLISHER" "Intel;1033" "$package_code"

if [ "$("$here/sign-file.sh" --wanted)" = yes ]; then
  "$here/sign-file.sh" "$msi"
fi
mv "$msi" "$out"
