#!/usr/bin/env bash
# Renders the main window and every tool window to PNG files (offscreen).
# Usage: scripts/screenshots.sh [FOLDER]   (default: build/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
out="${1:-build/screenshots}"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test --target vordane_screenshots
QT_QPA_PLATFORM=offscreen build/test/tools/vordane_screenshots "$out"
echo "Capturas en $out"
