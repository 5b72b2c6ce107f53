#!/usr/bin/env bash
# Builds the shipped 32-bit program and starts it under Wine with the given command line.
# The prefix under build/ is kept between runs, so settings and recent files persist.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" i686 dorvex
. "$top/scripts/wine-env.sh"
trap velmora_stop_wine EXIT
velmora_start_display
velmora_prepare_prefix "$top/build/run-prefix"
# ARGS is split as a shell would split it; Wine quotes each word that holds blanks.
eval "set -- ${ARGS:-}"
/usr/lib/wine/wine64 "$top/build/i686/dorvex.exe" "$@"
