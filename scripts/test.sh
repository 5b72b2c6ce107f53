#!/usr/bin/env bash
# Builds every tree and runs every test in one ctest run: the native tests under
# AddressSanitizer/UBSan, and the Windows tests of both widths under Wine in a throw-away prefix.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
for kind in native i686 x86_64; do
  "$top/scripts/build.sh" "$kind"
done

. "$top/scripts/wine-env.sh"

# One ctest over the three trees, so one closing summary covers everything.
cat > "$top/build/CTestTestfile.cmake" <<'CTEST'
subdirs("native" "i686" "x86_64")
CTEST
# Where the kernel cannot run 32-bit programs, the i686 build is still built and its files
# checked, but only the x86_64 build of the Windows tests can run.
leave_out=()
if ! velmora_runs_32bit; then
  leave_out=(-LE '^wine-i686$')
  echo "test: this machine cannot run 32-bit x86 programs (its kernel has IA-32 emulation off):" \
    "the i686 Windows tests are NOT run here; the x86_64 build runs the same tests" >&2
fi

scratch=$(mktemp -d /tmp/velmora-test.XXXXXX)
cleanup() { velmora_stop_wine; rm -rf "$scratch"; }
trap cleanup EXIT
velmora_start_display
velmora_prepare_prefix "$scratch/prefix"
velmora_hold_desktop "$top/build/x86_64/desktop_holder.exe" "$scratch"
export VELMORA_TEST_SCRATCH="$scratch"

cd "$top/build"
ctest --output-on-failure --timeout 300 "${leave_out[@]}" ${CTEST_ARGS:-}
