#!/usr/bin/env bash
# The wizard pages under Wine with the sample disc's skin: time to the first paint of a check
# list (19 options) and of a list view (10,000 options) against an empty dialog of the same
# template, and the cost of one type-ahead key for lists of 100 to 1,000,000 options.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env
preset=$(setup_windows_preset)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target bench_wizard_win >/dev/null
setup_start_display
setup_boot_prefix
wine "build/$preset/bin/bench_wizard_win.exe" "$(winepath -w examples/disc)"
