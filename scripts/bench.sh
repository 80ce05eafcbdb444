#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them; arguments go to every benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORDANE_BUILD_TESTS=OFF \
    -DVORDANE_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench
for bench in build/bench/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" "$@"
done
