#!/usr/bin/env bash
# Refreshes README's pictures, docs/screenshots/NAME.png, from the last walk of
# scripts/run-sample (build/sample-screenshots/NN-NAME.png).
set -euo pipefail
cd "$(dirname "$0")/../.."
for picture in docs/screenshots/*.png; do
    name=$(basename "$picture")
    shot=$(ls build/sample-screenshots/[0-9][0-9]-"$name" 2>/dev/null | head -1)
    [ -n "$shot" ] || { echo "no screenshot for $name in build/sample-screenshots" >&2; exit 1; }
    cp "$shot" "$picture"
done
echo "$(ls docs/screenshots/*.png | wc -l) pictures refreshed"
