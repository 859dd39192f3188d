#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds Quillet for Windows and tests it under Wine:
#  1. the core's test suite;
#  2. the reference folders through quillet-cli.exe, list texts and GPX documents (with
#     CR LF line ends) byte for byte, and a deletion;
#  3. a folder named in Cyrillic, through the command line;
#  4. a map under the preview through quillet-cli.exe, from a loopback tile server
#     (tests/support/tile_server.py) and from tile sets;
#  5. the native window in-process (its map from the same server), and quillet.exe
#     started in the sample folder, both under Xvfb; then the window in-process with a
#     Russian UI language.
# QUILLET_SKIP_WINDOWS=1 skips all of it; nothing else does: missing packages are
# installed. With QUILLET_WINDOWS_SCREENSHOT=FILE the started window is saved as FILE,
# with QUILLET_WINDOWS_SCREENSHOT_RUSSIAN=FILE the window in Russian as FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${QUILLET_SKIP_WINDOWS:-0}" = 1 ]; then
    echo "== Windows: skipped (QUILLET_SKIP_WINDOWS=1)"
    exit 0
fi
scripts/install-windows-deps.sh
. scripts/windows-env.sh

echo "== Windows cross build"
prepare_wine
build_windows_targets quillet-cli quillet-window quillet-sample quillet_tests quillet_win32_tests

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

echo "== Windows: core test suite under Wine"
wine "$windows_build/tests/quillet_tests.exe" --gtest_brief=1 || fail "core test suite"

echo "== Windows: reference folders through quillet-cli.exe"
cli="$windows_build/cli/quillet-cli.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
crlf() { sed 's/$/\r/' "$1"; }

for folder in tests/data/*/; do
    name=$(basename "$folder")
    for view in waypoints tracks; do
        expected="$folder/expected-$view"
        [ -f "$expected.txt" ] || continue
        wine "$cli" -C "$folder" list "$view" >"$work/list.txt" 2>/dev/null || true
        cmp -s "$expected.txt" "$work/list.txt" || fail "$name: list $view"
        wine "$cli" -C "$folder" export "$view" --all -o - >"$work/out.gpx" 2>/dev/null || true
        crlf "$expected.gpx" | cmp -s - "$work/out.gpx" || fail "$name: export $view -o -"
        rm -f "$work/file.gpx"
        wine "$cli" -C "$folder" export "$view" --all -o "$work/file.gpx" 2>/dev/null || true
        cmp -s "$work/out.gpx" "$work/file.gpx" || fail "$name: export $view -o FILE"
    done
done

# A deletion: the backup holds the old file byte for byte, and where the Linux build is
# at hand the new file is the one it writes.
for runner in windows linux; do
    mkdir -p "$work/delete-$runner"
    cp tests/data/basic/*.NVM "$work/delete-$runner/"
done
# The Linux run keeps its history in a folder of this run; Wine sets %LOCALAPPDATA% to
# the prefix's own folder, so the versions of this run's fresh folder are there.
export XDG_DATA_HOME="$work/history-linux"
wine "$cli" -C "$work/delete-windows" delete waypoints --select 2 --yes >"$work/deleted.txt" ||
    fail "delete: exit status"
grep -q '^deleted 1 waypoint from Z:\\.*\\GARMIN_WPT.NVM; the previous file is kept as Z:\\.*\\GARMIN_WPT.BAK$' \
    "$work/deleted.txt" || fail "delete: the line on standard output: $(cat "$work/deleted.txt")"
cmp -s tests/data/basic/GARMIN_WPT.NVM "$work/delete-windows/GARMIN_WPT.BAK" || fail "delete: backup"
# The old file is in the history under %LOCALAPPDATA%; restoring it puts the original back.
wine "$cli" -C "$work/delete-windows" history >"$work/history.txt" || fail "history: exit status"
version=$(cut -f1 "$work/history.txt" | tr -d '\r')
stored=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local/Quillet/history/files 2>/dev/null || true)
[ "$(wc -l <"$work/history.txt")" = 1 ] && [ -n "$stored" ] ||
    fail "history: one version under %LOCALAPPDATA%: $(cat "$work/history.txt")"
wine "$cli" -C "$work/delete-windows" restore "$version" --yes >/dev/null ||
    fail "restore: exit status"
cmp -s tests/data/basic/GARMIN_WPT.NVM "$work/delete-windows/GARMIN_WPT.NVM" || fail "restore: file"
wine "$cli" -C "$work/delete-windows" delete waypoints --select 2 --yes >/dev/null ||
    fail "delete after the restore: exit status"
linux_cli=build/release/cli/quillet-cli
if [ -x "$linux_cli" ]; then
    "$linux_cli" -C "$work/delete-linux" delete waypoints --select 2 --yes >/dev/null
    cmp -s "$work/delete-linux/GARMIN_WPT.NVM" "$work/delete-windows/GARMIN_WPT.NVM" ||
        fail "delete: the rewritten file differs from the Linux one"
fi

# The same contract as on Linux: output, messages and exit status of a few runs.
if [ -x "$linux_cli" ]; then
    for arguments in "--help" "--version" "list" "-C tests/data/basic info" \
        "-C tests/data/basic list tracks --sort Name --reverse"; do
        # shellcheck disable=SC2086
        wine "$cli" $arguments >"$work/w.out" 2>"$work/w.err" && w=0 || w=$?
        # shellcheck disable=SC2086
        "$linux_cli" $arguments >"$work/l.out" 2>"$work/l.err" && l=0 || l=$?
        cmp -s "$work/w.out" "$work/l.out" && cmp -s "$work/w.err" "$work/l.err" && [ "$w" = "$l" ] ||
            fail "quillet-cli $arguments: not as on Linux"
    done
fi

echo "== Windows: a folder named in Cyrillic"
cyrillic="$work/Путь-ёж"
mkdir -p "$cyrillic"
cp tests/data/basic/*.NVM "$cyrillic/"
wine "$cli" -C "$cyrillic" list waypoints >"$work/list.txt" 2>/dev/null || true
cmp -s tests/data/basic/expected-waypoints.txt "$work/list.txt" || fail "Cyrillic folder: list"
wine "$cli" -C "$cyrillic" export tracks --all -o "$cyrillic/Трек.gpx" 2>/dev/null || true
crlf tests/data/basic/expected-tracks.gpx | cmp -s - "$cyrillic/Трек.gpx" ||
    fail "Cyrillic folder: export to a Cyrillic file name"
wine "$cli" -C "$cyrillic/Нет" info >/dev/null 2>"$work/err.txt" || true
grep -q 'there is no folder .*Путь-ёж\\Нет' "$work/err.txt" ||
    fail "Cyrillic folder: message text: $(cat "$work/err.txt")"

echo "== Windows: a map under the preview through quillet-cli.exe"
map="$work/map"
mkdir -p "$map"
python3 tests/support/tile_server.py "$map" </dev/null >/dev/null 2>&1 &
server=$!
trap 'touch "$map/stop"; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 200); do [ -f "$map/port" ] && break; sleep 0.05; done
port=$(cat "$map/port" 2>/dev/null || true)
[ -n "$port" ] || fail "map: the tile server did not start"
preview_map() { wine "$cli" -C tests/data/basic preview tracks --all --map "$1" -o "$2" 2>/dev/null; }
# Each tile in view is asked for once, with the program's User-Agent (a new port each
# run: a new URL template, whose tiles are not in the cache yet).
preview_map "http://127.0.0.1:$port/{z}/{x}/{y}.png" "$work/map-url.svg" || fail "map URL: exit status"
images=$(grep -o '<image ' "$work/map-url.svg" | wc -l || true)
[ "$images" -gt 0 ] && [ "$(grep -c '|Quillet/' "$map/requests.log")" = "$images" ] ||
    fail "map URL: $images tiles drawn, requests: $(cat "$map/requests.log" 2>/dev/null)"
# A tile set made here with sqlite3 (one green tile everywhere at zoom 3, credited in its
# metadata), and the server's XYZ and TMS sets: drawn as the Linux build draws them.
(cd "$map" && sqlite3 sqlite3.mbtiles "CREATE TABLE metadata (name TEXT, value TEXT);
    CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB);
    INSERT INTO metadata VALUES ('minzoom', '3'), ('maxzoom', '3'), ('attribution', 'Green tiles');
    WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 63)
    INSERT INTO tiles SELECT 3, i / 8, i % 8, readfile('green.png') FROM n;") ||
    fail "map: sqlite3 could not write the tile set"
for set in sqlite3 xyz tms; do
    preview_map "$map/$set.mbtiles" "$work/map-$set.svg" || fail "map $set.mbtiles: exit status"
    grep -q '<image ' "$work/map-$set.svg" || fail "map $set.mbtiles: no tile drawn"
    if [ -x "$linux_cli" ]; then
        "$linux_cli" -C tests/data/basic preview tracks --all --map "$map/$set.mbtiles" \
            -o "$work/map-$set-linux.svg"
        tr -d '\r' <"$work/map-$set.svg" | cmp -s - "$work/map-$set-linux.svg" ||
            fail "map $set.mbtiles: not as on Linux"
    fi
done
grep -q 'Green tiles' "$work/map-sqlite3.svg" || fail "map sqlite3.mbtiles: no attribution"

echo "== Windows: the window under Xvfb"
# A Wine that started without a display keeps a desktop without one until it ends:
# windows need a fresh one, bound to the Xvfb display.
wineserver -w
# The server's folder as Wine's drive Z: names it (winepath would start Wine too early).
QUILLET_TILE_SERVER="Z:${map//\//\\}" \
    xvfb-run -a -s "-screen 0 1024x768x24" wine "$windows_build/win/quillet_win32_tests.exe" \
    --gtest_brief=1 || fail "window test"
touch "$map/stop"
scripts/windows-smoke.sh "${QUILLET_WINDOWS_SCREENSHOT:-}" || fail "quillet.exe smoke run"

echo "== Windows: the window in Russian"
# Wine takes the user's UI language from the locale variables; LC_ALL names Russian even
# on a system without the ru_RU locale (LANG alone is then ignored). The case skips when
# the UI language is not Russian, which here is a failure.
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24" env LC_ALL=ru_RU.UTF-8 \
    wine "$windows_build/win/quillet_win32_tests.exe" --gtest_filter='*Russian*' \
    >"$work/russian.txt" 2>&1 && ! grep -q SKIPPED "$work/russian.txt" ||
    fail "window test in Russian: $(cat "$work/russian.txt")"
if [ -n "${QUILLET_WINDOWS_SCREENSHOT_RUSSIAN:-}" ]; then
    LC_ALL=ru_RU.UTF-8 scripts/windows-smoke.sh "$QUILLET_WINDOWS_SCREENSHOT_RUSSIAN" ||
        fail "quillet.exe smoke run in Russian"
fi

if [ "$failures" -ne 0 ]; then
    echo "== Windows: $failures step(s) failed"
    exit 1
fi
echo "== Windows: all steps passed"
