#!/usr/bin/env bash
# Runs a Windows program under Wine (ctest's emulator for the cross builds). One WoW64
# prefix runs both the 32-bit and the 64-bit builds.
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-exec: WINEPREFIX is not set; run the tests through 'make test'" >&2
  exit 2
fi
exec /usr/lib/wine/wine64 "$@"
