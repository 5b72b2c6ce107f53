#!/usr/bin/env bash
# Fails, naming the file and the include, where a layer includes a header of a layer above it:
#   app/       windows, dialogs, commands      may include everything below
#   summary/   the document, no window         digest/, common/
#   settings/  the settings file               common/
#   digest/    reading one file                common/
#   common/    shared by all                   nothing of the others
# resources/ (the ids shared with the .rc file) belongs to app/.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

allowed() {
  case "$1" in
    summary) echo "summary digest common" ;;
    settings) echo "settings common" ;;
    digest) echo "digest common" ;;
    common) echo "common" ;;
  esac
}

failures=0
for layer in summary settings digest common; do
  for file in "$layer"/*.h "$layer"/*.cpp; do
    [ -e "$file" ] || continue
    while IFS=: read -r line include; do
      used=${include%%/*}
      ok=no
      for layer_ok in $(allowed "$layer"); do
        [ "$used" = "$layer_ok" ] && ok=yes
      done
      if [ "$ok" = no ]; then
        echo "$file:$line: includes \"$include\", a layer above $layer/ (allowed: $(allowed "$layer"))"
        failures=$((failures + 1))
      fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' "$file" |
             sed 's/^\([0-9]*\):.*"\([^"]*\)".*/\1:\2/')
  done
done
if [ "$failures" -gt 0 ]; then
  echo "layers: $failures include(s) run up a layer" >&2
  exit 1
fi
echo "layers: digest/, summary/, settings/ and common/ include nothing from a layer above"
