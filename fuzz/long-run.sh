#!/usr/bin/env bash
# The long fuzz run: every target (or those named) until it has made RUNS executions
# (default 10 million) or, when MAX_SECONDS is set, for that long. A run that was stopped
# is taken up again: the executions in the target's history count, and it goes on from the
# corpus grown so far (seeded from fuzz/corpus), kept with the logs in build/fuzz-long.
# JOBS (default 1) processes fuzz one target side by side. Prints each target's executions and
# whether it ended clean.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-10000000}
jobs=${JOBS:-1}
# An input that runs longer than this many seconds is reported as a hang.
timeout=${FUZZ_TIMEOUT:-10}
limit=()
[ -n "${MAX_SECONDS:-}" ] && limit=(-max_total_time="$MAX_SECONDS")
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSETUP_FUZZ=ON >/dev/null
# Only the fuzz programs: the rest of the tree is built and tested elsewhere.
fuzz_targets=$(cd fuzz && ls *.cpp | grep -v '^fuzz_support' | sed 's/\.cpp$//; s/^/fuzz_/')
cmake --build "$build" -j "$(nproc)" --target $fuzz_targets >/dev/null
# Absolute paths: the archive targets change their working directory.
out="$(pwd)/build/fuzz-long"
mkdir -p "$out"
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for exe in "$build"/bin/fuzz_*; do names+=("${exe##*/fuzz_}"); done
fi
# Inputs up to 64 KiB, except the round trip: packing runs an optimal parse under the
# sanitizers, 25 ms for 64 KiB (40 executions a second), so its inputs stay at 8 KiB. Larger
# trees and the 32 KiB buffer edges are the unit tests' random round trips (up to 120 KB a
# file), and the two unpacking targets decode inputs of 64 KiB into much more.
max_len() { case "$1" in round_trip) echo 8192 ;; *) echo 65536 ;; esac; }
status=0
# Executions recorded in the given logs; a target without history has made none.
executed() { { grep -ho 'number_of_executed_units: [0-9]*' "$@" 2>/dev/null || true; } | awk '{s += $2} END {print s + 0}'; }
for name in "${names[@]}"; do
    # Two runs may share the machine, one target each: a target already being run is skipped.
    exec 8>"$out/$name.lock"
    if ! flock -n 8; then
        echo "$name: being run by another long run, skipped"
        continue
    fi
    mkdir -p "$out/$name"
    [ -d "fuzz/corpus/$name" ] && cp -rn "fuzz/corpus/$name/." "$out/$name/"
    done_before=$(executed "$out/$name.history")
    left=$((runs - done_before))
    if [ "$left" -le 0 ]; then
        echo "$name: $done_before executions already made"
        continue
    fi
    # JOBS processes share the corpus folder and the executions still owed.
    share=$(((left + jobs - 1) / jobs))
    logs=()
    pids=()
    for j in $(seq 1 "$jobs"); do
        log="$out/$name.log"
        [ "$jobs" -gt 1 ] && log="$out/$name.$j.log"
        logs+=("$log")
        "$build/bin/fuzz_$name" -runs="$share" "${limit[@]}" -max_len="$(max_len "$name")" -rss_limit_mb=2048 -timeout="$timeout" -print_final_stats=1 \
            -artifact_prefix="$out/crash-$name-" "$out/$name" >"$log" 2>&1 &
        pids+=($!)
    done
    verdict=clean
    for j in "${!pids[@]}"; do
        wait "${pids[$j]}" && continue
        if grep -q 'run interrupted; exiting' "${logs[$j]}" && ! ls "$out/crash-$name-"* >/dev/null 2>&1; then
            [ "$verdict" = clean ] && verdict="stopped, clean so far"
        else
            verdict="FAILED, see ${logs[$j]}"
            status=1
        fi
    done
    cat "${logs[@]}" >>"$out/$name.history"
    echo "$name: $verdict, $(executed "${logs[@]}") executions in this run, $(executed "$out/$name.history") in all"
done
exit $status
