#!/usr/bin/env bash
# The wizard pages under Wine with the sample disc's skin: time to the first paint of a check
# list (19 options) and of a list view (10,000 options) against an empty dialog of the same
# template, and the cost of one type-ahead key for lists of 100 to 1,000,000 options; the
# first paints once at 96 DPI and once at 192 (a prefix of its own whose LogPixels is 192).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/wine-env
preset=$(setup_windows_preset)
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target bench_wizard_win >/dev/null
setup_start_display
for dpi in 96 192; do
    (
        export SETUP_WINE_DPI=$dpi
        [ "$dpi" = 96 ] || export WINEPREFIX="$root/build/wine-bench-dpi$dpi"
        setup_boot_prefix
        # Type-ahead does not depend on the scale: measured once.
        wine "build/$preset/bin/bench_wizard_win.exe" "$(winepath -w examples/disc)" \
            $([ "$dpi" = 96 ] || echo --paint-only)
    )
done
