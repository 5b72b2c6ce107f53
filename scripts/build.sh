#!/usr/bin/env bash
# Configures and builds one tree: native (host, sanitizers), i686 or x86_64 (MinGW-w64), or fuzz
# (clang, libFuzzer: what scripts/fuzz.sh runs).
#   scripts/build.sh KIND [TARGET]    (VELMORA_BUILD_DIR puts the tree elsewhere than build/KIND)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
kind=$1
target=${2:-all}
dir=${VELMORA_BUILD_DIR:-$top/build/$kind}
jobs=${VELMORA_JOBS:-2}
case "$kind" in
  native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  i686 | x86_64) args=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$top/cmake/toolchain-$kind.cmake") ;;
  fuzz) args=(-DVELMORA_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "build: unknown kind $kind" >&2; exit 2 ;;
esac
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$dir" "${args[@]}" >/dev/null
fi
cmake --build "$dir" -j "$jobs" --target "$target" -- --no-print-directory
