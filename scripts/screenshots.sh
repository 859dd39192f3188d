#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the window, writes the sample device folder and saves a picture of each tab
# of the window on it as docs/waypoints.png (with the name filter in use) and
# docs/tracks.png, and the preview of every track as docs/preview.png; over a map from a
# loopback tile server serving a generated tile (tests/support/tile_server.py), as
# docs/preview-map.png, and quillet.exe's the same way as docs/windows-preview-map.png
# when the Windows cross build is there (scripts/test-windows.sh).
# Then the waypoints again with the window in Russian as docs/waypoints-ru.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

build=build/screenshots
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_CLI=OFF -DQUILLET_BUILD_GUI=ON >/dev/null
cmake --build "$build" -j 2 --target quillet quillet-sample quillet_catalogues

# The status bar shows the folder: a short one, the same on every machine.
sample="${TMPDIR:-/tmp}/quillet-screenshots/GPS"
rm -rf "$sample"
mkdir -p "$(dirname "$sample")"
"$build/quillet-sample" "$sample"
mkdir -p docs

# The map: a pale tile with a grid and a round "lake" in it, made with ImageMagick; the
# program's settings and tile cache stay in this run's folder.
map="${TMPDIR:-/tmp}/quillet-screenshots/map"
mkdir -p "$map"
convert -size 256x256 xc:'#e9efe6' -fill '#d6e4f0' -draw 'circle 200,60 260,120' \
    -fill none -stroke '#c9d2c4' -draw 'line 0,128 255,128' -draw 'line 128,0 128,255' \
    -stroke '#b7c2b0' -draw 'rectangle 0,0 255,255' "PNG24:$map/tile.png"
python3 "$root/tests/support/tile_server.py" "$map" "$map/tile.png" </dev/null >/dev/null 2>&1 &
server=$!
russian=$(mktemp -d)
trap 'touch "$map/stop"; wait "$server" 2>/dev/null || true; rm -rf "$russian"' EXIT
for _ in $(seq 200); do [ -f "$map/port" ] && break; sleep 0.05; done
setting="url:http://127.0.0.1:$(cat "$map/port")/{z}/{x}/{y}.png"
export XDG_CONFIG_HOME="$map/config" XDG_CACHE_HOME="$map/cache"

# shoot FOLDER: the window's pictures into FOLDER.
shoot() {
    if command -v xvfb-run >/dev/null; then
        QUILLET_SCREENSHOT_MAP="$setting" xvfb-run -a -s "-screen 0 1280x1024x24" \
            "$root/$build/gui/quillet" --screenshot "$1"
    else
        QUILLET_SCREENSHOT_MAP="$setting" QT_QPA_PLATFORM=offscreen \
            "$root/$build/gui/quillet" --screenshot "$1"
    fi
}

cd "$sample"
shoot "$root/docs"
# Russian needs a locale other than C for the core's catalogue: C.UTF-8 is always there.
(
    unset LC_ALL LC_MESSAGES
    export LANGUAGE=ru LANG=C.UTF-8
    shoot "$russian"
)
cp "$russian/waypoints.png" "$root/docs/waypoints-ru.png"
cd "$root"
if [ -f build/windows/build/win/quillet.exe ]; then
    QUILLET_PREVIEW_MAP="$setting" scripts/windows-smoke.sh "" docs/windows-preview-map.png
fi
ls -l "$root"/docs/*.png
