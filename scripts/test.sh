#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every source file names its licence, then builds every target twice, once
# normally and once with AddressSanitizer and UndefinedBehaviorSanitizer, runs the whole
# test suite in both builds, then runs the Windows build under Wine
# (scripts/test-windows.sh), then every fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== Licence lines"
scripts/check-spdx.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Release build"
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_BENCH=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/asan --output-on-failure -j "$jobs"

scripts/test-windows.sh

echo "== Fuzzing (45 s per target)"
scripts/fuzz.sh --ci
