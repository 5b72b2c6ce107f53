#!/usr/bin/env bash
# Packs the release zip from files already built. The same files always give the same bytes:
# fixed entry times, fixed modes, sorted entries, no extra attributes.
#   scripts/package.sh VERSION DORVEX_EXE DORVEX_CHM README LICENSE OUT_DIR
# writes OUT_DIR/velmora-VERSION-win32.zip. SOURCE_DATE_EPOCH, when set, is the entry time.
set -euo pipefail
if [ $# -ne 6 ]; then
  echo "usage: $0 VERSION DORVEX_EXE DORVEX_CHM README LICENSE OUT_DIR" >&2
  exit 2
fi
version=$1 exe=$2 chm=$3 readme=$4 license=$5 out=$6
epoch=${SOURCE_DATE_EPOCH:-1767225600}  # 2026-01-01 00:00:00 UTC
name=velmora-$version-win32

stage=$(mktemp -d /tmp/velmora-package.XXXXXX)
trap 'rm -rf "$stage"' EXIT
install -m 0755 "$exe" "$stage/dorvex.exe"
install -m 0644 "$chm" "$stage/dorvex.chm"
install -m 0644 "$readme" "$stage/README.md"
install -m 0644 "$license" "$stage/LICENSE"
touch -d "@$epoch" "$stage"/*

mkdir -p "$out"
zip_path=$(cd "$out" && pwd)/$name.zip
rm -f "$zip_path.part"
# zip writes local times as DOS times: in UTC they are the same everywhere.
(cd "$stage" && LC_ALL=C ls -1 | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 "$zip_path.part" -@)
mv -f "$zip_path.part" "$zip_path"
echo "package: $zip_path"
