#!/usr/bin/env bash
# The release zip is reproducible: packing the same files twice, the second time from copies
# with other times and modes, under another time zone and umask, gives the same bytes; and the
# zip holds exactly the four files, unchanged, all with one fixed time and no extra fields.
#   reproducible_zip.sh VERSION DORVEX_EXE DORVEX_CHM README LICENSE
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
version=$1
inputs=("$2" "$3" "$4" "$5")
names=(dorvex.exe dorvex.chm README.md LICENSE)
work=$(mktemp -d /tmp/velmora-dist-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "reproducible_zip: $*" >&2; exit 1; }
zip_name=velmora-$version-win32.zip

"$top/scripts/package.sh" "$version" "${inputs[@]}" "$work/first" >/dev/null

mkdir "$work/copies"
copies=()
for i in "${!inputs[@]}"; do
  copy="$work/copies/${names[$i]}"
  cp "${inputs[$i]}" "$copy"
  chmod 600 "$copy"
  touch -d "2001-02-03 04:05:0$i" "$copy"
  copies+=("$copy")
done
(umask 077 && TZ=Pacific/Auckland \
  "$top/scripts/package.sh" "$version" "${copies[@]}" "$work/second" >/dev/null)

first=$work/first/$zip_name
second=$work/second/$zip_name
[ -f "$first" ] || fail "no $zip_name"
cmp "$first" "$second" || fail "packing the same files twice gave different bytes"

listed=$(unzip -Z1 "$first")
expected=$(printf '%s\n' "${names[@]}" | LC_ALL=C sort)
[ "$listed" = "$expected" ] || fail "entries are $(echo $listed), expected $(echo $expected)"
for i in "${!inputs[@]}"; do
  unzip -p "$first" "${names[$i]}" | cmp - "${inputs[$i]}" ||
    fail "${names[$i]} in the zip differs from its source"
done
times=$(zipinfo -T "$first" | awk '/^-/ { print $(NF - 1) }' | sort -u)
[ "$(echo "$times" | wc -l)" -eq 1 ] || fail "entries have different times: $(echo $times)"
details=$(zipinfo -v "$first")
grep -q 'length of extra field: *[1-9]' <<<"$details" &&
  fail "entries carry extra fields (owner, times)"

# The entry time is SOURCE_DATE_EPOCH when given, in UTC whatever the local zone.
SOURCE_DATE_EPOCH=1592224496 TZ=America/Denver \
  "$top/scripts/package.sh" "$version" "${inputs[@]}" "$work/dated" >/dev/null
dated=$(zipinfo -T "$work/dated/$zip_name" | awk '/^-/ { print $(NF - 1) }' | sort -u)
[ "$dated" = 20200615.123456 ] ||
  fail "SOURCE_DATE_EPOCH 2020-06-15 12:34:56 UTC gave entry times $(echo $dated)"
echo "reproducible_zip: $zip_name, ${#names[@]} entries dated $times, identical twice"
