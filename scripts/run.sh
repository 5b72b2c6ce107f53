#!/usr/bin/env bash
# Builds the shipped 32-bit program and starts it under Wine with the given command line.
# The prefix under build/ is kept between runs, so settings and recent files persist.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
. "$top/scripts/wine-env.sh"
# The 64-bit build where the kernel cannot run 32-bit programs.
width=i686
if ! velmora_runs_32bit; then
  width=x86_64
  echo "run: this machine cannot run 32-bit x86 programs (IA-32 emulation is off); starting the x86_64 build" >&2
fi
"$top/scripts/build.sh" "$width" dorvex
trap velmora_stop_wine EXIT
velmora_start_display
velmora_prepare_prefix "$top/build/run-prefix"
# ARGS is split as a shell would split it; Wine quotes each word that holds blanks.
eval "set -- ${ARGS:-}"
/usr/lib/wine/wine64 "$top/build/$width/dorvex.exe" "$@"
