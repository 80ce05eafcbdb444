#!/usr/bin/env bash
# Renders the main window and every tool window to PNG files (offscreen).
# Usage: scripts/screenshots.sh [FOLDER]   (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
out="${1:-build/screenshots}"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test --target vordane_screenshots
# A 1366 x 768 screen, the smallest the windows are drawn for.
screen=$(mktemp)
trap 'rm -f "$screen"' EXIT
echo '{"screens": [{"name": "pantalla", "x": 0, "y": 0, "width": 1366, "height": 768,
  "logicalDpi": 96, "logicalBaseDpi": 96}]}' > "$screen"
QT_QPA_PLATFORM="offscreen:configfile=$screen" build/test/tools/vordane_screenshots "$out"
echo "Capturas en $out"
