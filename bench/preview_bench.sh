#!/usr/bin/env bash
# Setup.exe -preview of the sample disc under Wine: the whole run (Wine's start included; target
# under 10 s) and the time per page (target at most 50 ms), against Wine starting and ending a
# program that does nothing (cmd /c exit), medians of five runs each.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
export SETUP_WINEPREFIX="${SETUP_WINEPREFIX:-$root/build/preview-wine}"
source scripts/wine-env
preset=$(setup_windows_preset)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target Setup >/dev/null
setup_start_display
setup_boot_prefix >/dev/null 2>&1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/disc" "$work/out"
for entry in "$root"/examples/disc/*; do ln -s "$entry" "$work/disc/$(basename "$entry")"; done
cp "build/$preset/bin/Setup.exe" "$work/disc/Setup.exe"
seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; e=$(date +%s.%N); echo "$e - $s" | bc; }
median() { sort -n | sed -n 3p; }
wine cmd /c exit >/dev/null 2>&1 || true # warm
preview=$(for i in 1 2 3 4 5; do (cd "$work/out" && seconds wine "$work/disc/Setup.exe" -preview); done | median)
empty=$(for i in 1 2 3 4 5; do seconds wine cmd /c exit; done | median)
pages=$(find "$work/out/preview" -mindepth 2 -name '*.png' | wc -l)
awk -v p="$preview" -v e="$empty" -v n="$pages" 'BEGIN {
    printf "preview of the sample disc: %d pages in %.2f s (target < 10 s)\n", n, p
    printf "wine start of an empty program: %.2f s; preview / empty start: %.1fx\n", e, p / e
    printf "per page beyond the start: %.1f ms (target <= 50 ms)\n", 1000 * (p - e) / n
}'
