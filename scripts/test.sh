#!/usr/bin/env bash
# Builds with warnings as errors and runs every test: first an optimised
# build (with the benchmarks), then a Debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Optimised build (warnings are errors) and tests =="
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORDANE_WERROR=ON \
    -DVORDANE_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== Debug build under AddressSanitizer + UndefinedBehaviorSanitizer, and tests =="
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORDANE_WERROR=ON -DVORDANE_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build/asan --output-on-failure -j "$jobs"
