#!/usr/bin/env bash
# The loader on a disc of 200 product folders with all four platforms' scripts: 800 heads
# (as every start-up) and 800 complete parses (check mode), best of 7 runs each.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target bench_loader >/dev/null
bin=build/native/bin/bench_loader
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin" gen "$work/disc"
best() { for _ in 1 2 3 4 5 6 7; do "$bin" load "$work/disc" "$@"; done | sort -k2 -n | head -1; }
echo "heads:    $(best)   (target: well under the splash's 500 ms, say < 150 ms)"
echo "complete: $(best --check)"
