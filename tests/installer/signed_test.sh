#!/usr/bin/env bash
# The signed release that release_setup.sh made with a throw-away authority.
# On both Windows kinds, a silent install leaves a Somnaro.scr and an
# uninstaller that verify. The release itself, checked in the 32-bit run
# only: its installer, its MSI package and the zip's two programs verify
# against that authority and no other; a changed code byte is caught; the same key gives
# the same bytes; the unsigned release carries no signature; the other two
# ways of signing work, and half-given ways stop the release. Its winget
# manifests: valid by winget's schemas, naming the package, its two
# installers and psshutdown's package, with the hashes of the signed files
# and the MSI package's own codes; the same bytes again too.
#   tests/installer/signed_test.sh BUILD_DIR WORK_DIR TARGET
set -u
. "$(dirname "$0")/scenario.sh" "$@"
signed=$work/signed
ca=$work/ca
key=(SOMNARO_SIGN_CERT="$ca/leaf.pem" SOMNARO_SIGN_KEY="$ca/leaf.key")

# What osslsigncode makes of FILE against the authority AUTHORITY.
verdict() {
  local out
  if out=$(osslsigncode verify -CAfile "$2" -in "$1" 2>&1) && [[ $out == *"Signature verification: ok"* ]]; then
    echo ok
  elif [[ $out == *"No signature found"* || $out == *"MSI file has no signature"* ]]; then echo unsigned
  elif [[ $out == *MISMATCH* ]]; then echo changed
  elif [[ $out == *"certificate verify error"* ]]; then echo untrusted
  else echo "unexpected: ${out:0:300}"
  fi
}
unzipped() { rm -rf "$2"; python3 -m zipfile -e "$1" "$2"; }

if [ "$target" = i686 ]; then
  unzipped "$signed/$zip" "$work/signed-unzipped"
  for f in "$signed/$setup" "$signed/$msi" "$work/signed-unzipped/Somnaro.scr" "$work/signed-unzipped/$setup"; do
    check "${f#"$work"/} against its authority" ok "$(verdict "$f" "$ca/ca.pem")"
  done
  "$top/tests/installer/throwaway_ca.sh" "$work/other-ca"
  check "$setup against another authority" untrusted "$(verdict "$signed/$setup" "$work/other-ca/ca.pem")"
  check "$msi against another authority" untrusted "$(verdict "$signed/$msi" "$work/other-ca/ca.pem")"

  # One byte inside the code changed (the PE checksum, which the signature
  # leaves out, is not enough).
  scr_copy=$work/changed.scr
  cp "$work/signed-unzipped/Somnaro.scr" "$scr_copy"
  text=$(i686-w64-mingw32-objdump -h "$scr_copy" | awk '$2 == ".text" { print $6 }')
  python3 -c 'import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(int(sys.argv[2], 16) + 64); byte = f.read(1)[0]; f.seek(-1, 1); f.write(bytes([byte ^ 0xff]))
' "$scr_copy" "$text"
  check "Somnaro.scr with a changed code byte" changed "$(verdict "$scr_copy" "$ca/ca.pem")"

  unzipped "$dist/$zip" "$work/unzipped"
  check "unsigned $setup" unsigned "$(verdict "$dist/$setup" "$ca/ca.pem")"
  check "unsigned $msi" unsigned "$(verdict "$dist/$msi" "$ca/ca.pem")"
  check "unsigned Somnaro.scr" unsigned "$(verdict "$work/unzipped/Somnaro.scr" "$ca/ca.pem")"

  # The address release_setup.sh gave, here without its last slash, which
  # the release adds.
  url=https://example.invalid/somnaro/$version/
  env "${key[@]}" SOMNARO_RELEASE_URL="${url%/}" "$top/installer/make-release.sh" "$build" \
    "$work/signed-again" >/dev/null
  winget=${manifests#"$signed"/}
  for f in "$setup" "$zip" "$msi" SHA256SUMS "$winget"/Veltrix.Somnaro{,.installer,.locale.en-US}.yaml; do
    check "signed $f made again" same "$(cmp -s "$signed/$f" "$work/signed-again/$f" && echo same)"
  done

  # The winget manifests. winget's schemas lie beside the source tree where
  # the developers and CI keep them; a clone without them checks the rest.
  names="Veltrix.Somnaro.installer.yaml Veltrix.Somnaro.locale.en-US.yaml Veltrix.Somnaro.yaml"
  check "files of the winget manifests" "$names" "$(cd "$manifests" && echo *)"
  schemas=$top/../shared/winget
  if [ -d "$schemas" ]; then
    check "the winget manifests by winget's schemas" "$(printf '%s: valid\n' $names)" \
      "$(python3 "$top/tests/installer/winget_manifest.py" --valid "$schemas" "$manifests" 2>&1)"
  else
    echo "no winget schemas in $schemas: the manifests' schema check skipped"
  fi
  while IFS='|' read -r field expected; do
    check "manifest: $field" "$expected" "$(manifest "$field")"
  done <<LIST
version.PackageIdentifier|Veltrix.Somnaro
installer.PackageIdentifier|Veltrix.Somnaro
defaultLocale.PackageIdentifier|Veltrix.Somnaro
version.PackageVersion|$version
installer.PackageVersion|$version
defaultLocale.PackageVersion|$version
defaultLocale.Publisher|Veltrix
defaultLocale.PackageName|Somnaro
defaultLocale.License|MIT
installer.ReleaseDate|$(date -u -d "@${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}" +%F)
installer.Scope|machine
installer.ElevationRequirement|elevatesSelf
installer.Dependencies|{"PackageDependencies": [{"PackageIdentifier": "Microsoft.Sysinternals.PsTools"}]}
installer.InstallerSwitches|
installer.Installers.0.InstallerType|nullsoft
installer.Installers.0.Architecture|x86
installer.Installers.0.InstallerUrl|$url$setup
installer.Installers.0.InstallerSwitches|
installer.Installers.1.InstallerType|msi
installer.Installers.1.Architecture|x86
installer.Installers.1.InstallerUrl|$url$msi
installer.Installers.1.InstallerSwitches|
installer.Installers.1.ProductCode|$(msi_property "$signed/$msi" ProductCode)
installer.Installers.1.AppsAndFeaturesEntries.0.UpgradeCode|$(msi_property "$signed/$msi" UpgradeCode)
installer.Installers.2|
LIST
  # Each installer's hash is its signed file's, as SHA256SUMS gives it.
  hashes=$(for i in 0 1; do
    sha=$(manifest "installer.Installers.$i.InstallerSha256")
    echo "${sha,,}  $(basename "$(manifest "installer.Installers.$i.InstallerUrl")")"
  done)
  check "the manifests' hashes" "$(grep -e " $setup\$" -e " $msi\$" "$signed/SHA256SUMS")" "$hashes"
  check "sha256sum -c of the signed release" "$setup: OK $zip: OK $msi: OK" \
    "$(cd "$signed" && sha256sum -c SHA256SUMS 2>&1 | xargs)"

  # A PKCS#12 file and its password, and a command that signs a file in
  # place as a token's or a service's tool would.
  sign_copy() { cp "$build/bin/Somnaro.scr" "$work/copy.scr"; env "$@" "$top/installer/sign-file.sh" "$work/copy.scr"; }
  sign_copy SOMNARO_SIGN_PKCS12="$ca/leaf.p12" SOMNARO_SIGN_PASSWORD_FILE="$ca/leaf.pass"
  check "Somnaro.scr signed with a PKCS#12 file" ok "$(verdict "$work/copy.scr" "$ca/ca.pem")"
  sign_copy SOMNARO_SIGN_COMMAND="in_place() { osslsigncode sign -certs '$ca/leaf.pem' -key '$ca/leaf.key' \
-in \"\$1\" -out \"\$1.new\" >/dev/null && mv \"\$1.new\" \"\$1\"; }; in_place"
  check "Somnaro.scr signed by a command" ok "$(verdict "$work/copy.scr" "$ca/ca.pem")"
  sign_copy SOMNARO_SIGN_COMMAND=true 2>/dev/null
  check "exit code of a command that signs nothing" 2 $?

  # Nothing is made when the key is half given.
  for half in SOMNARO_SIGN_CERT="$ca/leaf.pem" SOMNARO_SIGN_PASSWORD_FILE="$ca/leaf.pass" \
              SOMNARO_SIGN_TIMESTAMP=unused; do
    rm -rf "$work/half"
    env "$half" "$top/installer/make-release.sh" "$build" "$work/half" 2>/dev/null
    check "exit code of a release with only ${half%%=*}" 2 $?
    check "files of a release with only ${half%%=*}" "" "$(ls -A "$work/half")"
  done
fi

scenario signed
win "$signed/$setup" /S
check "exit code of the install" 0 $?
server_down
check "installed Somnaro.scr" ok "$(verdict "$scr_file" "$ca/ca.pem")"
check "installed uninstall.exe" ok "$(verdict "$installed/uninstall.exe" "$ca/ca.pem")"
finish
