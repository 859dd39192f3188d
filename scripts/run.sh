#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillet, writes the sample device folder and starts the window on it. Without
# a display, it says so and prints the sample folder's listing through quillet-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"

sample="$PWD/build/sample"
rm -rf "$sample"
build/release/quillet-sample "$sample"
echo "Sample device folder: $sample"

bin="$PWD/build/release"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    cd "$sample"
    exec "$bin/gui/quillet"
fi

echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): the window cannot open."
echo "Here is the sample folder through the command line instead."
echo
"$bin/cli/quillet-cli" -C "$sample" info
echo
"$bin/cli/quillet-cli" -C "$sample" list waypoints
echo
"$bin/cli/quillet-cli" -C "$sample" list tracks
