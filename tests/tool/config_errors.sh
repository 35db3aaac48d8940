#!/usr/bin/env bash
# setuptool config and resolve on bad input: clear messages and exit codes, nothing written.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
disc="$SETUP_SOURCE_DIR/tests/data/disc"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expect_status() {  # status, then the command
    local want=$1
    shift
    set +e
    "$@" >"$work/out" 2>"$work/err"
    local got=$?
    set -e
    [ "$got" = "$want" ] || { echo "status $got, wanted $want: $*" >&2; cat "$work/err" >&2; exit 1; }
}

for args in "" "--language" "--language x $disc" "$disc extra" "--language 1"; do
    # shellcheck disable=SC2086
    expect_status 2 "$tool" config $args
    grep -q '^usage: setuptool config DISC \[--language N\]$' "$work/err"
done
expect_status 2 "$tool" resolve "$disc"
grep -q '^usage: setuptool resolve DISC \[--language N\] TEXT$' "$work/err"

expect_status 2 "$tool" config "$work/nowhere"
grep -q "^setuptool: not a folder: $work/nowhere$" "$work/err"
[ ! -s "$work/out" ]
expect_status 2 "$tool" resolve "$disc/rsc/rscinfo.ini" '%01'

# A disc without bcancel.bmp cannot be loaded: no language is read.
cp -r "$disc" "$work/copy"
rm "$work/copy/rsc/bcancel.bmp"
before=$(cd "$work/copy" && find . -type f | sort | xargs md5sum)
expect_status 1 "$tool" config "$work/copy"
grep -q '^setuptool: skin bitmap missing or not a valid bitmap: bcancel.bmp$' "$work/err"
python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
assert d["loaded"] is False and d["languages"] == [] and d["texts"] == []
assert d["bitmaps"][0]["path"] is None and d["bitmaps"][1]["width"] is None' "$work/out"
expect_status 1 "$tool" resolve "$work/copy" '%01'
[ "$(cat "$work/out")" = "%01" ]

# A broken picture is refused as Windows would refuse it.
cp "$disc/rsc/bcancel.bmp" "$work/copy/rsc/bcancel.bmp"
head -c 40 "$disc/rsc/dbg.bmp" >"$work/copy/rsc/dbg.bmp"
expect_status 1 "$tool" config "$work/copy"
grep -q 'not a valid bitmap: dbg.bmp$' "$work/err"

# A language outside the list keeps the default one.
expect_status 0 "$tool" config "$disc" --language 7
python3 -c 'import json,sys; assert json.load(open(sys.argv[1]))["currentLanguage"] == 0' "$work/out"

# Nothing was written into the disc.
after=$(cd "$work/copy" && find . -type f ! -name dbg.bmp ! -name bcancel.bmp | sort | xargs md5sum)
[ "$(echo "$before" | grep -v -e dbg.bmp -e bcancel.bmp)" = "$after" ]
echo ok
