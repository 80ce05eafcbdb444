#!/usr/bin/env bash
# Builds Vordane (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORDANE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release --target vordane
exec build/release/src/vordane "$@"
