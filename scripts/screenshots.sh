#!/usr/bin/env bash
# Builds the window, writes the sample device folder and saves a picture of each tab
# of the window on it as docs/waypoints.png (with the name filter in use) and
# docs/tracks.png, and the preview of every track as docs/preview.png; then the
# waypoints again with the window in Russian as docs/waypoints-ru.png.
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

# shoot FOLDER: the window's pictures into FOLDER.
shoot() {
    if command -v xvfb-run >/dev/null; then
        xvfb-run -a -s "-screen 0 1280x1024x24" "$root/$build/gui/quillet" --screenshot "$1"
    else
        QT_QPA_PLATFORM=offscreen "$root/$build/gui/quillet" --screenshot "$1"
    fi
}

cd "$sample"
shoot "$root/docs"
# Russian needs a locale other than C for the core's catalogue: C.UTF-8 is always there.
russian=$(mktemp -d)
trap 'rm -rf "$russian"' EXIT
(
    unset LC_ALL LC_MESSAGES
    export LANGUAGE=ru LANG=C.UTF-8
    shoot "$russian"
)
cp "$russian/waypoints.png" "$root/docs/waypoints-ru.png"
ls -l "$root"/docs/*.png
