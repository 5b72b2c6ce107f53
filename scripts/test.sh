#!/usr/bin/env bash
# Builds every tree and runs every test in one ctest run: the native tests under
# AddressSanitizer/UBSan, and the Windows tests of both widths under Wine in a throw-away prefix.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
for kind in native i686 x86_64; do
  "$top/scripts/build.sh" "$kind"
done

# One ctest over the three trees, so one closing summary covers everything.
cat > "$top/build/CTestTestfile.cmake" <<'CTEST'
subdirs("native" "i686" "x86_64")
CTEST

. "$top/scripts/wine-env.sh"
scratch=$(mktemp -d /tmp/velmora-test.XXXXXX)
cleanup() { velmora_stop_wine; rm -rf "$scratch"; }
trap cleanup EXIT
velmora_start_display
velmora_prepare_prefix "$scratch/prefix"
export VELMORA_TEST_SCRATCH="$scratch"

cd "$top/build"
ctest --output-on-failure --timeout 300 ${CTEST_ARGS:-}
