#!/usr/bin/env bash
# Full parse of a 999-menu script against reading it line by line (wc -l), in one run.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target bench_parse >/dev/null
bin=build/native/bin/bench_parse
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
script="$work/PALM.mnu"
"$bin" gen "$script"
cat "$script" >/dev/null  # warm the page cache for both
best() { sort -n | head -1; }
wc_ms=$(python3 -c '
import subprocess, sys, time
best = 1e9
for _ in range(7):
    t = time.perf_counter(); subprocess.run(["wc", "-l", sys.argv[1]], stdout=subprocess.DEVNULL); best = min(best, time.perf_counter() - t)
print(best * 1000)' "$script")
runs() { for _ in 1 2 3 4 5 6 7; do "$bin" "$1" "$script" 2>/dev/null | paste -sd' '; done; }
python3 - "$(runs parse)" "$(runs read)" "$wc_ms" "$(stat -c %s "$script")" <<'PY'
import sys
def rows(text):
    return [dict(zip(r.split()[0::2], map(float, r.split()[1::2]))) for r in text.strip().splitlines()]
parse = min(rows(sys.argv[1]), key=lambda r: r["parse_ms"])
read = min(rows(sys.argv[2]), key=lambda r: r["read_ms"])
wc_ms, size = float(sys.argv[3]), int(sys.argv[4])
print(f"script: {size/1e6:.1f} MB, {int(read['lines'])} lines; parsed texts {parse['text_bytes']/1e6:.1f} MB")
print(f"full parse {parse['parse_ms']:.1f} ms; plain fgets loop {read['read_ms']:.1f} ms: {parse['parse_ms']/read['read_ms']:.2f}x (target <= 3x)")
print(f"  wc -l (process start included) {wc_ms:.1f} ms: {parse['parse_ms']/wc_ms:.2f}x")
mem = parse["added_peak_kib"] * 1024
print(f"peak memory added by the parse {mem/1e6:.1f} MB: {mem/parse['text_bytes']:.2f}x the parsed texts (target <= 2x)")
PY
