#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang 14 (AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each of them on the device-folder seeds written by the encoder.
#
#   scripts/fuzz.sh SECONDS   run every target for SECONDS seconds
#   scripts/fuzz.sh --ci      the bounded run of the test flow (45 s per target)
#
# Prints the executions and the findings of every target; the inputs that broke a
# property are kept in build/fuzz/findings/TARGET/ and the grown corpus in
# build/fuzz/corpus/TARGET/. Exits 1 when any target found something. A finding is
# replayed with:  build/fuzz/fuzz/TARGET_fuzzer build/fuzz/findings/TARGET/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: scripts/fuzz.sh SECONDS | --ci" >&2
    exit 2
}
[ $# -eq 1 ] || usage
case "$1" in
    --ci) seconds=45 ;;
    *[!0-9]* | "") usage ;;
    *) seconds=$1 ;;
esac

targets=(fill_waypoints fill_tracks export delete)
build=build/fuzz

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DQUILLET_FUZZ=ON -DQUILLET_BUILD_TESTS=OFF -DQUILLET_BUILD_GUI=OFF -DQUILLET_BUILD_CLI=OFF \
    -DQUILLET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target quillet_fuzz_seeds \
    $(printf '%s_fuzzer ' "${targets[@]}") >/dev/null

rm -rf "$build/seeds"
"$build/fuzz/quillet_fuzz_seeds" "$build/seeds"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
summary="$build/summary.tsv"
printf 'target\tseconds\texecutions\tfindings\n' >"$summary"
status=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    : >"$log"
    found=0
    executions=0
    start=$SECONDS
    # libFuzzer stops at the first finding: start it again for the time that is left.
    while left=$((seconds - (SECONDS - start))); [ "$left" -gt 0 ]; do
        run_log="$build/logs/$target.run.log"
        known=$(ls "$findings")
        if "$build/fuzz/${target}_fuzzer" "$corpus" "$build/seeds" \
            -dict=fuzz/quillet.dict -max_total_time="$left" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$findings/" >"$run_log" 2>&1; then
            finished=1
        else
            finished=0
        fi
        cat "$run_log" >>"$log"
        runs=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$run_log" | tail -1)
        if [ -z "$runs" ]; then
            runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$run_log" | tail -1)
        fi
        executions=$((executions + ${runs:-0}))
        [ "$finished" -eq 1 ] && break
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$run_log" | tail -1)
        if [ -z "$artifact" ]; then
            echo "$target: the fuzzer stopped without a finding, see $log" >&2
            status=1
            break
        fi
        # The same input again (a seed that fails): starting over finds nothing new.
        if grep -qxF "$(basename "$artifact")" <<<"$known"; then
            [ "$found" -gt 0 ] || found=1
            break
        fi
        found=$((found + 1))
        echo "$target: finding $artifact" >&2
    done
    [ "$found" -eq 0 ] || status=1
    printf '%-16s %4d s  %10d executions  %d findings\n' "$target" "$seconds" "$executions" "$found"
    printf '%s\t%d\t%d\t%d\n' "$target" "$seconds" "$executions" "$found" >>"$summary"
    if [ "$found" -ne 0 ]; then
        grep -h -A3 'property broken\|ERROR: AddressSanitizer\|runtime error\|ERROR: libFuzzer' \
            "$log" | head -20 >&2 || true
    fi
done
exit $status
