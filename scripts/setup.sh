#!/usr/bin/env bash
# Installs what building and testing need, on Debian 12, when it is missing. Safe to run often:
# it asks apt only when a tool is absent.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have cmake || need+=(cmake)
have make || need+=(make)
have g++ || need+=(g++)
have python3 || need+=(python3)
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have Xvfb || need+=(xvfb xauth)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
[ -x /usr/lib/wine/wine64 ] || need+=(wine wine64)
pkg_installed wine32:i386 || need+=(wine32:i386)
have md5sum || need+=(coreutils)
have chmcmd || need+=(fp-utils)             # compiles the help file
have extract_chmLib || need+=(libchm-bin)   # reads it back in the tests
have zip || need+=(zip)                     # the release package
have zipinfo || need+=(unzip)
have import || need+=(imagemagick)          # scripts/screenshots.sh
have xwininfo || need+=(x11-utils)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing ${need[*]}; run as root (or install them) first" >&2
  exit 1
fi

echo "setup: installing ${need[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
