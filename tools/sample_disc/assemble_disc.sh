#!/usr/bin/env bash
# The sample disc complete, as scripts/run-sample assembles it but without the Windows build:
# examples/disc, its packages packed by setuptool, and stand-in bytes for Setup.exe and the
# programs that its scripts start. For the tests and benchmarks of the native commands.
#   tools/sample_disc/assemble_disc.sh SETUPTOOL DISC     (DISC must not exist yet)
set -euo pipefail
tool=$1
disc=$2
src=$(cd "$(dirname "$0")/../.." && pwd)
mkdir "$disc"
cp -r "$src/examples/disc/." "$disc/"
while read -r form folder; do
    case "$form" in
        compressed) opt=--compress ;;
        plain) opt= ;;
        *) continue ;;
    esac
    mkdir -p "$(dirname "$disc/$folder")"
    "$tool" pack $opt "$src/examples/packages/$folder" "$disc/$folder.APK" >/dev/null
done <"$src/examples/packages/packages.list"
echo tour >"$disc/Organizer/PALM/tour.exe"
echo demo >"$disc/Games/EPOC/demo.exe"
head -c 70000 /dev/urandom >"$disc/Setup.exe"
