#!/usr/bin/env bash
# Writes the release's manifests for winget, the package manager Windows
# users get software with, so that `winget install Veltrix.Somnaro` fetches
# setup.exe or the MSI package from where the release is published, and
# psshutdown (winget's package Microsoft.Sysinternals.PsTools) with it:
#   installer/make-winget.sh --check   fails unless SOMNARO_RELEASE_URL is
#                                      unset or an https:// address
#   installer/make-winget.sh OUT_DIR VERSION SETUP MSI
# writes the three files of a multi-file manifest (version, installer,
# defaultLocale en-US) into OUT_DIR/winget/manifests/<letter>/<Publisher>/
# Somnaro/VERSION/, as the community repository lays them out. Each
# installer's address is SOMNARO_RELEASE_URL followed by its file's name, and
# its hash is that of the file in OUT_DIR as it is published (signed, when it
# is); the MSI package's codes are read from the package. The release date is
# SOURCE_DATE_EPOCH's. Without SOMNARO_RELEASE_URL nothing is written.
# No custom switches: winget would add them to every install (README.md says
# how a user passes /DELAY= or HIBERNATEDELAY=).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/product.env"
base=${SOMNARO_RELEASE_URL:-}
# winget refuses to download over plain http.
if [ -n "$base" ] && [[ ! $base =~ ^https://[^[:space:]]+$ ]]; then
  echo "make-winget.sh: SOMNARO_RELEASE_URL must be an https:// address, not \"$base\"" >&2
  exit 2
fi
[ "${1:-}" != --check ] || exit 0
if [ -z "$base" ]; then
  echo "no winget manifests written: no SOMNARO_RELEASE_URL set"
  exit 0
fi
base=${base%/}/
out=$(cd "$1" && pwd) version=$2 setup=$3 msi=$4
: "${SOURCE_DATE_EPOCH:?the time of the commit}"

name=Somnaro
id=$PUBLISHER.$name
letter=${PUBLISHER:0:1}
dir=$out/winget/manifests/${letter,,}/$PUBLISHER/$name/$version
sha256() { sha256sum "$out/$1" | cut -d' ' -f1 | tr a-f A-F; }
property() {
  msiinfo export "$out/$msi" Property | tr -d '\r' | awk -F'\t' -v name="$1" '$1 == name { print $2 }'
}
product_code=$(property ProductCode)
upgrade_code=$(property UpgradeCode)
[ -n "$product_code" ] && [ -n "$upgrade_code" ] || { echo "no product or upgrade code in $msi" >&2; exit 1; }
# The lines every file begins and ends with: the schema an editor checks it
# against, and what it is.
manifest_version=1.12.0
opening() {
  printf '# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json\n\n' \
    "$1" "$manifest_version"
  printf 'PackageIdentifier: %s\nPackageVersion: %s\n' "$id" "$version"
}
closing() { printf 'ManifestType: %s\nManifestVersion: %s\n' "$1" "$manifest_version"; }

mkdir -p "$dir"
{ opening version; echo "DefaultLocale: en-US"; closing version; } >"$dir/$id.yaml"

# Both installers raise their own administrator prompt, so winget starts
# them as it is started and leaves the prompt to them.
# Programs and Features shows what the manifest names for both installers:
# name, publisher and version alike. setup.exe's entry is found by its key's
# name; only the MSI's upgrade code needs a line of its own.
{ opening installer; cat <<YAML
Scope: machine
ElevationRequirement: elevatesSelf
ReleaseDate: $(date -u -d "@$SOURCE_DATE_EPOCH" +%F)
Dependencies:
  PackageDependencies:
    - PackageIdentifier: Microsoft.Sysinternals.PsTools
Installers:
  - Architecture: x86
    InstallerType: nullsoft
    InstallerUrl: $base$setup
    InstallerSha256: $(sha256 "$setup")
    ProductCode: ${NSIS_ENTRY_KEY##*\\}
  - Architecture: x86
    InstallerType: msi
    InstallerUrl: $base$msi
    InstallerSha256: $(sha256 "$msi")
    ProductCode: '$product_code'
    AppsAndFeaturesEntries:
      - UpgradeCode: '$upgrade_code'
YAML
  closing installer; } >"$dir/$id.installer.yaml"

{ opening defaultLocale; cat <<YAML
PackageLocale: en-US
Publisher: $PUBLISHER
PackageName: $name
License: MIT
Copyright: $COPYRIGHT
ShortDescription: A screen saver that hibernates the computer after a delay you choose.
Description: >-
  When Windows starts Somnaro as the screen saver, Somnaro asks psshutdown to
  hibernate the computer after the delay (60 seconds unless you set another)
  and shows a window with one button, "Cancel Hibernate". The package brings
  psshutdown with it, from Microsoft.Sysinternals.PsTools.
Moniker: somnaro
Tags:
  - hibernate
  - hibernation
  - power
  - psshutdown
  - screen-saver
  - screensaver
InstallationNotes: >-
  psshutdown's licence must be accepted once: open a new command prompt, run
  psshutdown and accept it. Until it is, Somnaro hibernates nothing and says
  so each time the screen saver starts. Installed without --scope machine,
  psshutdown is there for this account only.
YAML
  closing defaultLocale; } >"$dir/$id.locale.en-US.yaml"
echo "wrote $dir: $(cd "$dir" && echo *)"
