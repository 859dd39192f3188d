#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check-window-translation.sh LUPDATE GUI_FOLDER TS_FILE
#
# Fails when the window's catalogue TS_FILE is behind the tr() texts of the window's
# sources (the .cpp and .h files of GUI_FOLDER; its tests are not shown to anyone):
# lupdate brings a copy of it up to date, and every message it then marks new
# (unfinished) or gone (vanished, obsolete), or that has no translation, is listed.
set -euo pipefail

lupdate=$1
folder=$2
ts=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy="$work/$(basename "$ts")"
cp "$ts" "$copy"

mapfile -t sources < <(find "$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
"$lupdate" -silent -locations none "${sources[@]}" -ts "$copy"

# One line per message: its source text and its translation element.
problems=$(awk '
    /<source>/ { source = $0; sub(/.*<source>/, "", source); sub(/<\/source>.*/, "", source) }
    /<translation/ {
        if ($0 ~ /type="(unfinished|vanished|obsolete)"/ || $0 ~ /<translation\/>/ ||
            $0 ~ /<translation><\/translation>/) {
            kind = "untranslated"
            if (match($0, /type="[a-z]+"/)) {
                kind = substr($0, RSTART + 6, RLENGTH - 7)
            }
            printf "%s: %s\n", kind, source
        }
    }' "$copy")

if [ -n "$problems" ]; then
    echo "$(basename "$ts") is not up to date with the window's texts:"
    echo "$problems"
    echo "Run: cmake --build BUILD --target quillet_window_lupdate, then translate them."
    exit 1
fi
echo "$(basename "$ts"): every text of the window is translated"
