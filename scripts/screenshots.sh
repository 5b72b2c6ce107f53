#!/usr/bin/env bash
# Regenerates the pictures of the program in docs/ from the real dorvex.exe under Wine and Xvfb:
# builds the 32-bit program, lets it build a summary of a small sample tree (-g), and grabs its
# main window.   scripts/screenshots.sh [OUT_DIR]   (default docs/; VELMORA_BUILD_DIR as build.sh)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/docs}
build=${VELMORA_BUILD_DIR:-$top/build/i686}
"$top/scripts/setup.sh"
VELMORA_BUILD_DIR=$build "$top/scripts/build.sh" i686 dorvex
mkdir -p "$out"
out=$(cd "$out" && pwd)

. "$top/scripts/wine-env.sh"
work=$(mktemp -d /tmp/velmora-shots.XXXXXX)
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" >/dev/null 2>&1 || true
  velmora_stop_wine
  rm -rf "$work"
}
trap cleanup EXIT
# A display of our own, whatever DISPLAY says, so every run draws on the same screen size.
unset DISPLAY
velmora_start_display
velmora_prepare_prefix "$work/prefix"

# The sample tree lives on the prefix's C: drive, so the label shows a short, stable path.
tree="$WINEPREFIX/drive_c/Holiday 2024"
sample() {  # relative name, size in bytes; the content depends on the name only
  mkdir -p "$(dirname "$tree/$1")"
  { yes "Velmora sample file $1" || true; } | head -c "$2" > "$tree/$1"
}
sample "photos/beach.jpg" 1843200
sample "photos/harbour.jpg" 1359872
sample "photos/lighthouse at dusk.jpg" 2211840
sample "photos/market.jpg" 987136
sample "videos/boat trip.mp4" 15728640
sample "notes/itinerary.txt" 4200
sample "notes/packing list.txt" 900
sample "tickets/ferry.pdf" 88064
sample "tickets/museum.pdf" 61440
count=$(find "$tree" -type f | wc -l)

# shoot DPI NAME X Y WIDTH HEIGHT CW0 CW1 CW2 CW3: the program at a screen's pixels per inch (Wine
# reads them as a program starts), with a fixed placement and column widths through its own
# settings file (stored in pixels, so given for that DPI), grabbed into docs/NAME.
shoot() {
  local dpi=$1 name=$2
  /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" \
    /f >/dev/null 2>&1
  printf '%s\r\n' '[Misc]' "x=$3" "y=$4" "nx=$5" "ny=$6" \
    "cw0=$7" "cw1=$8" "cw2=$9" "cw3=${10}" > "$WINEPREFIX/drive_c/windows/dorvex.ini"

  /usr/lib/wine/wine64 "$build/dorvex.exe" -g 'C:\Holiday 2024' </dev/null >/dev/null 2>&1 &
  program_pid=$!

  # The title reaches the final item count once the whole tree has been digested.
  local title="Velmora - untitled.md5   [$count items]" window=
  for _ in $(seq 600); do
    window=$(xwininfo -root -tree | awk -v t="\"$title\":" 'index($0, t) { print $1; exit }')
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "screenshots: the main window never showed \"$title\" at $dpi DPI" >&2
    exit 1
  fi
  sleep 1  # the last repaint of the list and the status bar

  # Grab the screen and crop it to the window, which Wine draws with its own frame.
  local geometry
  geometry=$(xwininfo -id "$window" | awk '
    /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
    /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF }
    END { printf "%dx%d+%d+%d", w, h, x, y }')
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "$geometry" +repage -strip \
    -define png:exclude-chunks=date,time "$out/$name"
  echo "screenshots: $out/$name ($geometry, $dpi DPI)"
  kill "$program_pid" >/dev/null 2>&1 || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

shoot 96 main-window.png 24 24 676 360 220 250 90 80
shoot 144 main-window-144dpi.png 24 24 1014 540 330 375 135 120
