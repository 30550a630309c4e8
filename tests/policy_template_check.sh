#!/usr/bin/env bash
# The administrative template: both files well-formed, the key and value it
# writes those the shipped Somnaro.scr reads, its range and default those the
# installers use (installer/product.env), and every text and layout it names
# defined in its language file.
set -u
src=$1
scr=$2
admx=$src/policy/Somnaro.admx
adml=$src/policy/en-US/Somnaro.adml
fail() { echo "FAIL: $*"; exit 1; }
. "$src/tests/tools_needed.sh"
tools_needed xmllint:libxml2-utils i686-w64-mingw32-strings:binutils-mingw-w64-i686
xmllint --noout "$admx" "$adml" || fail "not well-formed"
# The templates' namespace is their default one, which XPath cannot name.
attribute() { xmllint --xpath "string(//*[local-name()='$2']/@$3)" "$1"; }
count() { xmllint --xpath "count(//*[local-name()='$2'][@$3='$4'])" "$1"; }

# Registry names are compared as Windows compares them, ignoring case.
key=$(attribute "$admx" policy key)
value=$(attribute "$admx" decimal valueName)
echo "$key" | grep -qi '^Software\\Policies\\' || fail "key $key is not under Software\\Policies"
read_names=$(i686-w64-mingw32-strings -a "$scr")
echo "$read_names" | grep -qixF "$key" || fail "$scr never names the key $key"
echo "$read_names" | grep -qixF "$value" || fail "$scr never names the value $value"

. "$src/installer/product.env"
[ "$(attribute "$admx" decimal minValue)" = "$DELAY_MINIMUM" ] || fail "minimum is not $DELAY_MINIMUM"
[ "$(attribute "$admx" decimal maxValue)" = "$DELAY_MAXIMUM" ] || fail "maximum is not $DELAY_MAXIMUM"
[ "$(attribute "$adml" decimalTextBox defaultValue)" = "$DELAY_DEFAULT" ] ||
  fail "default is not $DELAY_DEFAULT"

refs=$(grep -o '\$([a-z]*\.[A-Za-z0-9_]*)' "$admx" | sort -u)
[ -n "$refs" ] || fail "the template names no texts"
for ref in $refs; do
  kind=${ref#??}; kind=${kind%%.*}
  id=${ref#*.}; id=${id%)}
  [ "$(count "$adml" "$kind" id "$id")" = 1 ] || fail "$ref is not defined once in $adml"
done
# The layout's box must belong to the template's element, or the editor shows none.
box=$(attribute "$adml" decimalTextBox refId)
[ "$(count "$admx" decimal id "$box")" = 1 ] || fail "the layout's box $box is no element"
echo "key: $key, value: $value, texts: $(echo $refs)"
echo "1 passed, 0 failed"
