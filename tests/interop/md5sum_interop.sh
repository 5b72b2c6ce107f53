#!/usr/bin/env bash
# GNU md5sum, sha1sum, sha256sum, sha512sum and dorvex.exe read each other's summaries. Builds a
# tree with awkward names; for each kind has the real program generate and save its summary
# (through its Save As dialog), checks it with the tool's --check --strict, then opens the tool's
# own binary-mode, text-mode and --tag output in the program and expects every entry verified OK.
#   Usage: md5sum_interop.sh PROCESS_TESTS_EXE
set -euo pipefail
exe=$1
wine_exec=$(cd "$(dirname "$0")/../../scripts" && pwd)/wine-exec.sh
work=$(mktemp -d /tmp/velmora-interop.XXXXXX)
trap 'rm -rf "$work"' EXIT
tree=$work/tree

mkdir -p "$tree/sub dir/deeper/deepest" "$tree/.dot dir" "$tree/empty dir"
printf 'abc' > "$tree/one.txt"
: > "$tree/empty file"
head -c 32768 /dev/zero | tr '\0' 'x' > "$tree/sub dir/exactly 32768.bin"
head -c 32769 /dev/zero | tr '\0' 'y' > "$tree/sub dir/deeper/.leading dot"
printf 'amp' > "$tree/ leading blank & hash # percent % bang !.txt"
printf 'dash' > "$tree/-starts with dash"
printf 'one' > "$tree/x"                # a one-character name directly under the base
# Names in several scripts, outside the Basic Multilingual Plane and with a combining mark, in
# folders named so too: UTF-8 on both sides.
mkdir -p "$tree/фото" "$tree/深い"
printf 'cafe' > "$tree/café.txt"
printf 'nihongo' > "$tree/日本語.txt"
printf 'photo' > "$tree/фото/снимок 1.jpg"
printf 'smile' > "$tree/emoji 😀.txt"
printf 'strasse' > "$tree/深い/ß straße.txt"
printf 'greek' > "$tree/Ελληνικά.txt"
printf 'arabic' > "$tree/عربي.txt"
printf 'mark' > "$tree/$(printf 'e\xcc\x81') combining.txt"
# 83 CJK characters: 87 characters with ".txt" as Windows counts them, 253 bytes of UTF-8.
printf 'kanji' > "$tree/$(python3 -c "print('\u6f22' * 83, end='')").txt"
printf 'deep' > "$tree/sub dir/deeper/deepest/file.with.many.dots"
printf 'dot' > "$tree/.dot dir/inside.txt"
printf 'ends' > "$tree/ blank at both ends "
mkdir -p "$tree/folder ending in a blank "
printf 'inner' > "$tree/folder ending in a blank /name ending in a dot."
# A seeded random part (the seed is printed, so a failure can be replayed).
seed=${VELMORA_INTEROP_SEED:-$RANDOM}
echo "interop: seed $seed"
mkdir -p "$tree/random"
windows_root=$(printf 'Z:%s' "${tree//\//\\}\\random")
python3 "$(dirname "$0")/make_tree.py" "$tree/random" "${#windows_root}" "$seed" >/dev/null
count=$(find "$tree" -type f | wc -l)

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
run_case() {
  VELMORA_INTEROP_TREE=$(winpath "$tree") VELMORA_INTEROP_COUNT=$count "$@" \
    "$wine_exec" "$exe" --gtest_brief=1 --gtest_filter="$case_filter"
}

list_files() { (cd "$tree" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }
# Each kind both ways: the program's summary (the kind chosen in the settings, then -g and Save
# As) passes the tool's --check --strict; the tool's binary-mode, text-mode and --tag output each
# verify all OK in the program.
for kind in md5 sha1 sha256 sha512; do
  tool=${kind}sum
  case_filter=Interop.SaveGeneratedSummary
  run_case env VELMORA_INTEROP_SUMMARY="$(winpath "$work/ours.$kind")" VELMORA_INTEROP_DIGEST=$kind
  [ "$(wc -l < "$work/ours.$kind")" -eq "$count" ] || { echo "interop: $kind: expected $count lines"; exit 1; }
  (cd "$tree" && $tool -c --strict "$work/ours.$kind" >/dev/null) ||
    { echo "interop: $tool -c rejected our summary"; exit 1; }
  (cd "$tree" && list_files | tr '\n' '\0' | xargs -0 $tool -b --) > "$work/binary mode.$kind"
  (cd "$tree" && list_files | tr '\n' '\0' | xargs -0 $tool -t --) > "$work/text mode.$kind"
  (cd "$tree" && list_files | tr '\n' '\0' | xargs -0 $tool --tag --) > "$work/${kind^^}SUMS"
  case_filter=Interop.PeerSummaryVerifiesAllOk
  for peer in "binary mode.$kind" "text mode.$kind" "${kind^^}SUMS"; do
    run_case env VELMORA_INTEROP_PEER_SUMMARY="$(winpath "$work/$peer")"
  done
done
# Capital hex digits, as some Windows tools write them.
sed 's/^[0-9a-f]\{32\}/\U&/' "$work/binary mode.md5" > "$work/upper.md5"
grep -q '^[0-9A-F]\{32\} ' "$work/upper.md5" || { echo "interop: no upper-case summary made"; exit 1; }
run_case env VELMORA_INTEROP_PEER_SUMMARY="$(winpath "$work/upper.md5")"
echo "interop: $count files; md5sum, sha1sum, sha256sum and sha512sum accept ours, and we verify their binary, text and --tag output and an upper-case MD5 summary"
