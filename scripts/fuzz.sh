#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (fuzzer, address, undefined) into build/fuzz
# and runs each for FUZZ_SECONDS seconds (default 60), one after the other on one core. Names of
# targets as arguments run only those. The seeds in fuzz/corpus/<target>/ are only read; new
# inputs go to build/fuzz/corpus/<target>/, crashes to build/fuzz/crashes/<target>/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
out="$top/build/fuzz"
all_targets=(summary_reader option_scanner path_rules)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi

case "$seconds" in
  '' | *[!0-9]* | 0) echo "fuzz: FUZZ_SECONDS must be a positive whole number" >&2; exit 2 ;;
esac

sources_of() {
  case "$1" in
    summary_reader) echo summary/summary_line.cpp digest/md5.cpp ;;
    option_scanner) echo app/options.cpp ;;
    path_rules) echo common/paths.cpp ;;
    *) return 1 ;;
  esac
}

# Longest input per target: past the 2047-character line and the 16383-character argument.
max_len_of() {
  case "$1" in
    summary_reader) echo 8192 ;;
    option_scanner) echo 20000 ;;
    *) echo 2048 ;;
  esac
}

for t in "${targets[@]}"; do
  sources_of "$t" >/dev/null || { echo "fuzz: unknown target $t (${all_targets[*]})" >&2; exit 2; }
done

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

flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
  -fno-sanitize-recover=all -I "$top")
for t in "${targets[@]}"; do
  echo "fuzz: building $t"
  read -r -a sources <<<"$(sources_of "$t")"
  (cd "$top" && clang++ "${flags[@]}" "fuzz/${t}_fuzzer.cpp" "${sources[@]}" -o "$out/$t")
done

failed=()
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t" "$out/crashes/$t"
  log="$out/$t.log"
  dict=()
  [ -f "$top/fuzz/$t.dict" ] && dict=("-dict=$top/fuzz/$t.dict")
  echo "fuzz: running $t for $seconds s (log: $log)"
  status=0
  "$out/$t" -max_total_time="$seconds" -max_len="$(max_len_of "$t")" -timeout=10 \
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
