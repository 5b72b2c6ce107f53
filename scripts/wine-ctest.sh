#!/usr/bin/env bash
# Runs ctest in one Windows build tree under Wine, with a display and a prefix of its own:
#   scripts/wine-ctest.sh BUILD_DIR PREFIX_DIR [ctest arguments...]
# (make test does the same for all trees at once, in a throw-away prefix.)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
prefix=$2
shift 2
. "$top/scripts/wine-env.sh"
trap velmora_stop_wine EXIT
velmora_start_display
velmora_prepare_prefix "$prefix"
cd "$build"
ctest --output-on-failure "$@"
