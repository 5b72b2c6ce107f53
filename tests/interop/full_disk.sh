#!/usr/bin/env bash
# Save onto a nearly full filesystem: a small tmpfs holds an old summary and a filler file;
# the program's save must fail cleanly and leave the old summary as it was.
# Usage: full_disk.sh SAVE_FAULT_TESTS_EXE      (needs root to mount; skipped otherwise)
set -euo pipefail
exe=$1
if [ "$(id -u)" -ne 0 ]; then
  echo "full_disk: skipped, mounting a small filesystem needs root"
  exit 0
fi
mountpoint=$(mktemp -d /tmp/velmora-full.XXXXXX)
cleanup() { umount "$mountpoint" 2>/dev/null || true; rmdir "$mountpoint"; }
trap cleanup EXIT
if ! mount -t tmpfs -o size=256k tmpfs "$mountpoint" 2>/dev/null; then
  echo "full_disk: skipped, this machine does not allow mounting a tmpfs"
  exit 0
fi
printf '900150983cd24fb0d6963f7d28e17f72 *old.txt\r\n' > "$mountpoint/target.md5"
# Fill it: the new summary (about 48 KiB) cannot fit beside the old one.
dd if=/dev/zero of="$mountpoint/filler" bs=4k count=1000 2>/dev/null || true
before=$(md5sum < "$mountpoint/target.md5")
VELMORA_FULL_DISK_TARGET="Z:${mountpoint//\//\\}\\target.md5" \
  "$(dirname "$0")/../../scripts/wine-exec.sh" "$exe" --gtest_brief=1
after=$(md5sum < "$mountpoint/target.md5")
[ "$before" = "$after" ] || { echo "full_disk: the old summary changed"; exit 1; }
echo "full_disk: save failed cleanly, old summary intact"
