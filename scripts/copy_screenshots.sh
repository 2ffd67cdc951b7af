#!/usr/bin/env bash
# Copies the screenshots the end-to-end tests took of the real fightgame (main menu,
# character select and a match, in both drawing modes) from a build folder into
# docs/screenshots/, where the README shows them.
#   scripts/copy_screenshots.sh [build-folder]     (default: build)
# Take them first with: ./test, or in a build folder
#   xvfb-run -a -s "-screen 0 1024x768x24" ctest -R FightgameFrontEnd
set -euo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$top/build}"
from="$build/screenshots"
if ! ls "$from"/*.png >/dev/null 2>&1; then
  echo "no screenshots in $from: run the end-to-end tests first" >&2
  exit 1
fi
mkdir -p "$top/docs/screenshots"
cp "$from"/*.png "$top/docs/screenshots/"
ls "$top/docs/screenshots"
