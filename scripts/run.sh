#!/usr/bin/env bash
# Builds Quillet, writes the sample device folder and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"

sample=build/sample
rm -rf "$sample"
build/release/quillet-sample "$sample"
echo "Sample device folder: $sample"
cd "$sample"
exec ../release/quillet-dump .
