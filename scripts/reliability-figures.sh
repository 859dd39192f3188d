#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the figures of the README's reliability section:
#   - fuzz executions and findings per target (scripts/fuzz.sh SECONDS, default 60),
#   - kill points survived out of those tried by the crash-consistency test,
#   - bad inputs tried and held by the catalogue (core and command line),
#   - exported documents validated against schemas/gpx-gpxx.xsd with xmllint.
#
#   scripts/reliability-figures.sh [SECONDS]    (0: report the last fuzzing run)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
case "$seconds" in *[!0-9]* | "") echo "usage: scripts/reliability-figures.sh [SECONDS]" >&2; exit 2 ;; esac

scripts/install-deps.sh
release=build/release
cmake -S . -B "$release" -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_GUI=OFF >/dev/null
cmake --build "$release" -j "$(nproc)" >/dev/null
tests="$release/tests/quillet_tests"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "$seconds" -gt 0 ]; then
    echo "== Fuzzing ($seconds s per target, ASan + UBSan)"
    scripts/fuzz.sh "$seconds" >/dev/null 2>&1 || true
else
    echo "== Fuzzing (the last run of scripts/fuzz.sh)"
fi
awk -F'\t' 'NR > 1 { printf "  %-16s %12d executions  %d findings\n", $1, $3, $4 }' build/fuzz/summary.tsv

echo "== Crash consistency"
"$tests" --gtest_filter='*CrashConsistency*:*ConcurrentDeletions*' >"$work/crash.log" 2>&1 || true
sed -n 's/^\[ *\(figures\|observed\) *\] */  /p' "$work/crash.log" | awk '!seen[$0]++'
grep -q '^\[  PASSED  \]' "$work/crash.log" && ! grep -q '^\[  FAILED  \]' "$work/crash.log" ||
    echo "  (some crash-consistency tests failed)"

echo "== Bad-input catalogue"
for run in "core:$tests:*BadInputCatalogue*" "quillet-cli:$release/cli/quillet_cli_tests:*BadInputCli*"; do
    IFS=: read -r label binary suite <<<"$run"
    "$binary" --gtest_filter="$suite" >"$work/bad.log" 2>&1 || true
    total=$(grep -c '^\[ RUN      \]' "$work/bad.log" || true)
    held=$(grep -c '^\[       OK \]' "$work/bad.log" || true)
    skipped=$(grep -c '^\[  SKIPPED \]' "$work/bad.log" || true)
    printf '  %-12s %d tried, %d held, %d skipped\n' "$label" "$total" "$held" "$skipped"
done

echo "== Documents validated against schemas/gpx-gpxx.xsd"
docs="$work/gpx"
mkdir -p "$docs"
inputs=(build/fuzz/seeds)
[ -d build/fuzz/corpus/export ] && inputs+=(build/fuzz/corpus/export)
QUILLET_FUZZ_GPX_DIR="$docs" build/fuzz/fuzz/export_fuzzer -runs=0 "${inputs[@]}" \
    >"$work/replay.log" 2>&1 || true
in_range=()
out_of_range=0
for doc in "$docs"/*.gpx; do
    [ -e "$doc" ] || continue
    # lat in [-90, 90], lon in [-180, 180): the ranges of the GPX schema.
    if grep -o 'lat="[^"]*" lon="[^"]*"' "$doc" | tr -d 'latlon="' |
        awk '{ if ($1 < -90 || $1 > 90 || $2 < -180 || $2 >= 180) bad = 1 } END { exit bad }'; then
        in_range+=("$doc")
    else
        out_of_range=$((out_of_range + 1))
    fi
done
valid=0
invalid=0
if [ ${#in_range[@]} -gt 0 ]; then
    printf '%s\n' "${in_range[@]}" |
        xargs xmllint --noout --schema schemas/gpx-gpxx.xsd >"$work/xmllint.log" 2>&1 || true
    valid=$(grep -c ' validates$' "$work/xmllint.log" || true)
    invalid=$(grep -c ' fails to validate$' "$work/xmllint.log" || true)
    { grep -v ' validates$' "$work/xmllint.log" || true; } | head -5 | sed 's/^/  /'
fi
echo "  ${#in_range[@]} documents with coordinates in range: $valid valid, $invalid invalid"
echo "  $out_of_range documents with coordinates outside the GPX ranges (not validated)"
