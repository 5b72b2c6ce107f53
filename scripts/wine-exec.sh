#!/usr/bin/env bash
# Runs a Windows program under Wine (ctest's emulator for the cross builds, and the runner of
# the interop scripts). One WoW64 prefix runs both the 32-bit and the 64-bit builds.
#
# The program writes to a file that is streamed to our output, not straight to the caller's
# pipe: a Wine process that the program causes to start (the desktop's explorer.exe, say)
# inherits its output and may outlive it by many seconds, and a test runner reads its pipe
# until the last writer has gone.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-exec: WINEPREFIX is not set; run the tests through 'make test'" >&2
  exit 2
fi
log=$(mktemp "${TMPDIR:-/tmp}/velmora-wine-exec.XXXXXX")
/usr/lib/wine/wine64 "$@" >"$log" 2>&1 </dev/null &
program=$!
tail -n +1 -s 0.1 -f --pid="$program" "$log" &
streamer=$!
trap 'kill "$program" 2>/dev/null; wait "$streamer"; rm -f "$log"; exit 143' TERM INT
wait "$program"
status=$?
wait "$streamer"
# A program that fails before printing anything would otherwise leave no trace in the test log.
if [ "$status" -ne 0 ] && [ ! -s "$log" ]; then
  echo "wine-exec: $* ended with status $status and printed nothing" >&2
fi
rm -f "$log"
exit $status
