#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (fuzzer, address, undefined) in the CMake tree
# build/fuzz, from the same core library and list of targets (cmake/FuzzTargets.cmake) as the
# native replay of their seeds, and runs each for FUZZ_SECONDS seconds (default 60), one after
# the other on one core. Names of targets as arguments run only those. The seeds in
# fuzz/corpus/<target>/ are only read; new inputs go to build/fuzz/corpus/<target>/, crashes to
# build/fuzz/crashes/<target>/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
out="$top/build/fuzz"

case "$seconds" in
  '' | *[!0-9]* | 0) echo "fuzz: FUZZ_SECONDS must be a positive whole number" >&2; exit 2 ;;
esac

mkdir -p "$out"

# clang and its libFuzzer runtime, from Debian, when missing.
fuzzer_links() {
  command -v clang++ >/dev/null 2>&1 || return 1
  # A target that only has to link: the probe is never run.
  echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -x c++ - -fsanitize=fuzzer,address,undefined -o "$out/.probe" >/dev/null 2>&1
}
if ! fuzzer_links; then
  need=(clang libclang-rt-dev)
  if [ "$(id -u)" -ne 0 ]; then
    echo "fuzz: clang with libFuzzer is missing; install ${need[*]} as root first" >&2
    exit 1
  fi
  echo "fuzz: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  fuzzer_links || { echo "fuzz: clang still cannot link a fuzzer" >&2; exit 1; }
fi
rm -f "$out/.probe"

echo "fuzz: building the targets in $out"
VELMORA_BUILD_DIR="$out" "$top/scripts/build.sh" fuzz

# The targets and their longest inputs, as the fuzz tree's CMake wrote them.
declare -A max_len
all_targets=()
while read -r name length; do
  all_targets+=("$name")
  max_len[$name]=$length
done <"$out/fuzz_targets.txt"
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi
for t in "${targets[@]}"; do
  [ -n "${max_len[$t]:-}" ] || { echo "fuzz: unknown target $t (${all_targets[*]})" >&2; exit 2; }
done

failed=()
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t" "$out/crashes/$t"
  log="$out/$t.log"
  dict=()
  [ -f "$top/fuzz/$t.dict" ] && dict=("-dict=$top/fuzz/$t.dict")
  echo "fuzz: running $t for $seconds s (log: $log)"
  status=0
  "$out/fuzz_$t" -max_total_time="$seconds" -max_len="${max_len[$t]}" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/crashes/$t/" "${dict[@]}" \
    "$out/corpus/$t" "$top/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  [ -n "$runs" ] || runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    echo "fuzz: $t: ${runs:-?} executions, no crash"
  else
    failed+=("$t")
    echo "fuzz: $t: CRASH (exit $status) after ${runs:-?} executions"
    grep -E 'ERROR: |check failed|SUMMARY: |Test unit written to|runtime error' "$log" |
      head -n 12 | sed 's/^/  /'
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: crashes in ${failed[*]}; inputs under $out/crashes/" >&2
  exit 1
fi
