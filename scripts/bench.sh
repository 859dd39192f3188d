#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Quillet in Release with the benchmarks, writes large device folders (uniform
# and realistic waypoints), times the fills, a heading click, the listing, the exports,
# the preview, a deletion and the window next to the naive procedures and gpsbabel, times quillet-cli
# end to end next to gpsbabel in the same run, measures each scenario's peak memory in a
# process of its own, times the Win32 window's preview under Wine where the Windows build
# is, and prints one table.
#
#   scripts/bench.sh            three repetitions of every benchmark (the median counts)
#   REPETITIONS=1 scripts/bench.sh
#
# Figures are wall-clock times: run it on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=${REPETITIONS:-3}
build=build/bench
jobs=$(nproc)

echo "== Release build with the benchmarks (${build})" >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_BENCH=ON \
    -DQUILLET_BUILD_GUI=ON -DQUILLET_BUILD_CLI=ON -DQUILLET_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" \
    --target quillet-bench quillet-bench-peak quillet-window-bench quillet-cli >/dev/null
cli="$build/cli/quillet-cli"

work=$(mktemp -d "${TMPDIR:-/tmp}/quillet-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
folders="$work/folders"

echo "== Writing the device folders" >&2
"$build/bench/quillet-bench-peak" --make "$folders"

echo "== Peak memory, one process per scenario" >&2
: >"$work/peaks.txt"
for scenario in fill-waypoints fill-waypoints-real fill-saved-tracks fill-tracks sort-waypoints export-waypoints \
    export-saved-tracks export-tracks export-active-100k export-active-1m delete-waypoint; do
    "$build/bench/quillet-bench-peak" "$scenario" "$folders" "$work/peak" >>"$work/peaks.txt"
done

echo "== gpsbabel converting the saved tracks' GPX (1,000,000 points)" >&2
gpsbabel_seconds=""
if command -v gpsbabel >/dev/null; then
    input="$work/peak/saved-tracks.gpx"  # written by the export-saved-tracks scenario
    best=""
    for _ in 1 2; do
        rm -f "$work/gpsbabel.gpx"
        sync
        start=$(date +%s%N)
        gpsbabel -i gpx -f "$input" -o gpx -F "$work/gpsbabel.gpx"
        end=$(date +%s%N)
        elapsed=$(((end - start) / 1000))
        if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
    done
    gpsbabel_seconds=$(awk -v us="$best" 'BEGIN { printf "%.3f", us / 1e6 }')
    gpsbabel_points=$(grep -c '<trkpt' "$work/gpsbabel.gpx" || true)
    echo "   gpsbabel: ${gpsbabel_seconds} s for ${gpsbabel_points} points" >&2
else
    echo "   gpsbabel is not installed: no comparison with it" >&2
fi

# Wall-clock microseconds of the best of N runs of a command, its output into a file.
best_of() {
    local runs=$1 out=$2 best="" start end elapsed
    shift 2
    for _ in $(seq "$runs"); do
        rm -f "$out"
        sync
        start=$(date +%s%N)
        "$@" >"$out"
        end=$(date +%s%N)
        elapsed=$(((end - start) / 1000))
        if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
    done
    echo "$best"
}

echo "== quillet-cli end to end next to gpsbabel (best of 3 and of 2)" >&2
: >"$work/e2e.txt"
for set in waypoints waypoints-real; do
    dir="$folders/$set"
    echo "list-$set $(best_of 3 "$work/list.txt" "$cli" -C "$dir" list waypoints)" >>"$work/e2e.txt"
    echo "info-$set $(best_of 3 "$work/info.txt" "$cli" -C "$dir" info)" >>"$work/e2e.txt"
    if command -v gpsbabel >/dev/null; then
        "$cli" -C "$dir" export waypoints --all -o "$work/$set.gpx"
        echo "gpsbabel-csv-$set $(best_of 2 "$work/gpsbabel.out" \
            gpsbabel -i gpx -f "$work/$set.gpx" -o csv -F "$work/gpsbabel.csv")" >>"$work/e2e.txt"
    fi
done
echo "export-active $(best_of 3 "$work/export.out" \
    "$cli" -C "$folders/active-track" export tracks --select 0 -o "$work/active.gpx")" >>"$work/e2e.txt"
# The same document streamed to standard output (into a file through the shell).
echo "export-active-stdout $(best_of 3 "$work/active-stdout.gpx" \
    "$cli" -C "$folders/active-track" export tracks --select 0 -o -)" >>"$work/e2e.txt"
cmp -s "$work/active.gpx" "$work/active-stdout.gpx" || echo "   -o - and -o FILE differ" >&2
if command -v gpsbabel >/dev/null; then
    echo "gpsbabel-gpx-active $(best_of 2 "$work/gpsbabel.out" \
        gpsbabel -i gpx -f "$work/active.gpx" -o gpx -F "$work/gpsbabel-active.gpx")" >>"$work/e2e.txt"
fi
sed 's/^/   /' "$work/e2e.txt" >&2

echo "== The window, 100,000 rows on screen (offscreen platform)" >&2
QT_QPA_PLATFORM=offscreen "$build/bench/quillet-window-bench" --quillet_folders="$folders" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/window.json" --benchmark_out_format=json >&2

# The Win32 window's preview, under Wine, where the Windows build is (scripts/test-windows.sh
# or scripts/build-windows.sh made it); brought up to date first.
: >"$work/win32.txt"
if [ -d build/windows/build ] && command -v wine >/dev/null && command -v xvfb-run >/dev/null; then
    echo "== The Win32 window's preview of 1,000,000 points (Wine, Xvfb)" >&2
    (
        . scripts/windows-env.sh
        build_windows_targets quillet-win32-window-bench >/dev/null
        prepare_wine
        xvfb-run -a -s "-screen 0 1280x1024x24" wine \
            "$windows_build/win/quillet-win32-window-bench.exe" \
            "$(winepath -w "$folders/active-track")" 5 2>/dev/null
    ) | tee /dev/stderr | sed -n 's/^BM_Win32PreviewOfActiveTrack busy_ms=\([0-9.]*\) longest_ms=\([0-9.]*\) opening_ms=[0-9.]* latency_ms=\([0-9.]*\).*/\1 \2 \3/p' \
        >"$work/win32.txt"
else
    echo "== No Windows build: the Win32 window's preview is not timed" >&2
fi

echo "== Benchmarks (${repetitions} repetitions)" >&2
"$build/bench/quillet-bench" --quillet_folders="$folders" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json >&2

echo >&2
echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo

# Reads the benchmark results (the medians) and the peak memory lines, prints the table.
awk -v gpsbabel="$gpsbabel_seconds" -v peaks="$work/peaks.txt" -v e2e="$work/e2e.txt" \
    -v win32="$work/win32.txt" '
function base(name) {
    sub(/_median$/, "", name)
    gsub(/\/(real_time|manual_time)$/, "", name)
    gsub(/\/iterations:[0-9]+/, "", name)
    return name
}
function num(text) { gsub(/[",]/, "", text); return text + 0 }
function ms(value) { return value >= 1000 ? sprintf("%.2f s", value / 1000) : sprintf("%.1f ms", value) }
function mib(kib) { return sprintf("%.1f MiB", kib / 1024) }
function times(value) { return value >= 100 ? sprintf("%.0fx", value) : sprintf("%.1fx", value) }
function row(scenario, time, throughput, memory, baseline, ratio, target, met) {
    printf "| %s | %s | %s | %s | %s | %s | %s | %s |\n", scenario, time, throughput, memory, baseline, ratio, target, met
}
function verdict(ok) { return ok ? "yes" : "NO" }
function peak(scenario) { return (scenario in total) ? mib(total[scenario]) : "-" }
function during(scenario) { return (scenario in op) ? "+" mib(op[scenario]) : "-" }
BEGIN {
    while ((getline line < peaks) > 0) {
        split(line, f, " ")
        total[f[1]] = f[2]; op[f[1]] = f[3]; kept[f[1]] = f[5]; rows[f[1]] = f[6]; texts[f[1]] = f[7]
    }
    while ((getline line < e2e) > 0) {
        split(line, f, " ")
        wall[f[1]] = f[2] / 1000  # ms
    }
}
/"name":/ { name = $2; gsub(/[",]/, "", name); keep = (name !~ /_(mean|stddev|cv)$/); current = base(name); next }
keep && /"(real_time|bytes_per_second|flush_ms|refill_ms|total_ms|bytes|longest_ms|latency_ms)":/ {
    key = $1; gsub(/[":]/, "", key); value[current, key] = num($2)
}
END {
    t = "real_time"
    print "| Scenario | Time | Throughput | Peak memory (whole process; added by the operation) | Baseline | Ratio | Target | Met? |"
    print "|---|---|---|---|---|---|---|---|"

    fill = value["BM_FillWaypoints", t]
    row("Fill \"Way Points\", 100,000 waypoints", ms(fill), sprintf("%.2f M rows/s", 0.1 / fill * 1000),
        peak("fill-waypoints"), "-", "-", "<= 150 ms", verdict(fill <= 150))
    real = value["BM_FillWaypoints_Real", t]
    perRow = (kept["fill-waypoints-real"] * 1024 - texts["fill-waypoints-real"]) / rows["fill-waypoints-real"]
    row("Fill \"Way Points\", 100,000 realistic waypoints", ms(real), sprintf("%.2f M rows/s", 0.1 / real * 1000),
        peak("fill-waypoints-real") sprintf("; %.0f bytes per row beyond its texts", perRow), "-", "-",
        "<= 60 ms, <= 200 bytes per row, <= 60 MiB", verdict(real <= 60 && perRow <= 200 && total["fill-waypoints-real"] <= 60 * 1024))
    saved = value["BM_FillTracks_Saved", t]
    row("Fill \"Tracks\", 500 saved tracks of 2,000 points", ms(saved), sprintf("%.0f M points/s", 1 / saved * 1000),
        peak("fill-saved-tracks"), "-", "-", "<= 60 ms", verdict(saved <= 60))
    both = value["BM_FillTracks_Both", t]
    row("Fill \"Tracks\", the same and an active track of 1,000,000 points", ms(both),
        sprintf("%.0f M points/s", 2 / both * 1000), peak("fill-tracks"), "-", "-", "-", "-")

    # The naive sort at 10,000 rows, scaled to 100,000 by n^2 log n (a linear search
    # per row per comparison, n log n comparisons).
    naiveSort = value["BM_NaiveSort_10k/2", t]
    naiveSort100k = naiveSort * 100 * log(100000) / log(10000)
    split("1 2 4 7", columns, " ")
    headings[1] = "\"#\""; headings[2] = "\"Name\""; headings[4] = "\"Latitude\""; headings[7] = "\"Universal time\""
    for (i = 1; i <= 4; ++i) {
        c = columns[i]; s = value["BM_SortClick/" c, t]
        memory = c == 2 ? peak("sort-waypoints") " (" during("sort-waypoints") ")" : "-"
        baseline = c == 2 ? "naive, scaled from 10,000 rows: " ms(naiveSort100k) : "-"
        ratio = c == 2 ? times(naiveSort100k / s) : "-"
        row("Click heading " headings[c] ", 100,000 rows", ms(s), sprintf("%.1f M rows/s", 0.1 / s * 1000),
            memory, baseline, ratio, "<= 40 ms", verdict(s <= 40))
    }
    s = value["BM_SortClick_Real/2", t]
    row("Click heading \"Name\", 100,000 realistic rows", ms(s), sprintf("%.1f M rows/s", 0.1 / s * 1000),
        "-", "-", "-", "<= 30 ms", verdict(s <= 30))
    split("waypoints waypoints-real", sets, " ")
    setName["waypoints"] = "uniform"; setName["waypoints-real"] = "realistic"
    for (i = 1; i <= 2; ++i) {
        k = sets[i]
        l = value[i == 1 ? "BM_ListWaypoints" : "BM_ListWaypoints_Real", t]
        lb = value[i == 1 ? "BM_ListWaypoints" : "BM_ListWaypoints_Real", "bytes"]
        row("Listing of 100,000 " setName[k] " waypoints in the process (" sprintf("%.0f MB", lb / 1e6) ")",
            ms(l), sprintf("%.0f MB/s", lb / l / 1000), "-", "-", "-", "-", "-")
        e = wall["list-" k]; g = wall["gpsbabel-csv-" k]
        baseline = g > 0 ? "gpsbabel GPX -> CSV, same waypoints: " ms(g) : "-"
        ratio = g > 0 ? times(g / e) : "-"
        row("quillet-cli list waypoints, 100,000 " setName[k] " waypoints, end to end", ms(e), "-", "-",
            baseline, ratio, ">= 30x gpsbabel", g > 0 ? verdict(g / e >= 30) : "-")
        row("quillet-cli info, 100,000 " setName[k] " waypoints (start-up fills the view), end to end",
            ms(wall["info-" k]), "-", "-", "-", "-", "-", "-")
        w = value[i == 1 ? "BM_WindowShowsRows" : "BM_WindowShowsRows_Real", t]
        row("The window: 100,000 " setName[k] " rows on screen after its creation", ms(w), "-", "-",
            "-", "-", "<= 200 ms", verdict(w <= 200))
    }
    s10 = value["BM_SortClick_10k/2", t]
    row("Click heading \"Name\", 10,000 rows", ms(s10), "-", "-", "naive, measured: " ms(naiveSort),
        times(naiveSort / s10), "-", "-")

    wpt = value["BM_ExportWaypoints", t]; wptRate = value["BM_ExportWaypoints", "bytes_per_second"] / 1e6
    row("Export all 100,000 waypoints (" sprintf("%.0f MB", value["BM_ExportWaypoints", "bytes"] / 1e6) ")",
        ms(wpt), sprintf("%.0f MB/s", wptRate), peak("export-waypoints") " (" during("export-waypoints") ")",
        "-", "-", ">= 300 MB/s", verdict(wptRate >= 300))

    # The naive track export walked the whole file for 10 of the 500 tracks.
    naiveTracks = value["BM_NaiveTrackExport/10", t] * 50
    split("Saved Active Both", kinds, " ")
    label["Saved"] = "Export 500 saved tracks, 1,000,000 points"
    label["Active"] = "Export the active track, 1,000,000 points"
    label["Both"] = "Export all tracks, 2,000,000 points"
    scenario["Saved"] = "export-saved-tracks"; scenario["Active"] = "export-active-1m"; scenario["Both"] = "export-tracks"
    for (i = 1; i <= 3; ++i) {
        k = kinds[i]; e = value["BM_ExportTracks_" k, t]
        rate = value["BM_ExportTracks_" k, "bytes_per_second"] / 1e6
        baseline = "-"; ratio = "-"; target = ">= 300 MB/s"; ok = rate >= 300
        if (k != "Both" && gpsbabel != "") {
            baseline = "gpsbabel, same points: " ms(gpsbabel * 1000)
            ratio = times(gpsbabel * 1000 / e)
            target = ">= 300 MB/s, >= 15x gpsbabel"
            ok = ok && gpsbabel * 1000 / e >= 15
        }
        if (k == "Saved") {
            baseline = baseline "; naive, scaled from 10 tracks: " ms(naiveTracks)
            ratio = ratio "; " times(naiveTracks / e)
        }
        row(label[k] " (" sprintf("%.0f MB", value["BM_ExportTracks_" k, "bytes"] / 1e6) ")", ms(e),
            sprintf("%.0f MB/s", rate), peak(scenario[k]) " (" during(scenario[k]) ")", baseline, ratio,
            target, verdict(ok))
    }
    small = op["export-active-100k"]; large = op["export-active-1m"]
    row("Export memory, 100,000 -> 1,000,000 active points", "-", "-",
        during("export-active-100k") " -> " during("export-active-1m"), "-", "-",
        "not growing with the points", verdict(large <= small + 1024))

    e = wall["export-active"]; g = wall["gpsbabel-gpx-active"]
    row("quillet-cli export tracks --select 0, 1,000,000 active points, end to end", ms(e), "-", "-",
        g > 0 ? "gpsbabel GPX -> GPX, same points: " ms(g) : "-", g > 0 ? times(g / e) : "-",
        ">= 50x gpsbabel", g > 0 ? verdict(g / e >= 50) : "-")
    so = wall["export-active-stdout"]
    row("quillet-cli export tracks --select 0 -o -, the same points to standard output, end to end",
        ms(so), "-", "-", "the same to a file (-o FILE): " ms(e), times(e / so),
        "the speed of -o FILE", verdict(so <= e * 1.1))

    # The main thread of each window while its worker reads and draws the active track.
    pw = value["BM_PreviewOfActiveTrack", t]
    row("The Qt preview window: the selected active track of 1,000,000 points, the main thread busy from Space to the picture with its profile",
        ms(pw) sprintf(" (longest single stretch %s; the picture after %s)", ms(value["BM_PreviewOfActiveTrack", "longest_ms"]),
            ms(value["BM_PreviewOfActiveTrack", "latency_ms"])), "-", "-", "-", "-", "<= 200 ms", verdict(pw <= 200))
    if ((getline line < win32) > 0) {
        split(line, f, " ")
        row("The Win32 preview window under Wine: the same, median of five", ms(f[1]) sprintf(" (longest single stretch %s; the picture after %s)", ms(f[2]), ms(f[3])),
            "-", "-", "-", "-", "<= 200 ms", verdict(f[1] <= 200))
    }

    pv = value["BM_PreviewActiveTrack", t]
    row("Preview the active track, 1,000,000 points (read, project, measure, thin)", ms(pv),
        sprintf("%.1f M points/s", 1 / pv * 1000), "-", "-", "-", "< 100 ms", verdict(pv < 100))

    del = value["BM_DeleteOneWaypoint", t]
    naiveDelete = value["BM_NaiveDelete_10k", t]
    naiveDelete100k = naiveDelete * 100  # every row scanned for every record: n^2
    row(sprintf("Delete 1 of 100,000 waypoints (then flush %s, refill %s)", ms(value["BM_DeleteOneWaypoint", "flush_ms"]),
            ms(value["BM_DeleteOneWaypoint", "refill_ms"])), ms(del), "-",
        peak("delete-waypoint") " (" during("delete-waypoint") ")",
        "naive, scaled from 10,000: " ms(naiveDelete100k), times(naiveDelete100k / del), "<= 50 ms + flush",
        verdict(del <= 50))
    del10 = value["BM_DeleteOneWaypoint_10k", t]
    row("Delete 1 of 10,000 waypoints", ms(del10), "-", "-", "naive, measured: " ms(naiveDelete),
        times(naiveDelete / del10), "-", "-")
}
' "$work/window.json" "$work/bench.json"
