#!/usr/bin/env bash
# setuptool pack, list and extract: a tree packed both ways extracts to the same bytes and
# times; hostile and broken packages end with their code and message.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p src/docs/deep  # only files are stored: no empty folders
printf 'hello\n' >src/readme.txt
head -c 200000 /dev/urandom >src/docs/blob.bin
for i in $(seq 1 3000); do echo "line of text number $((i % 50))"; done >src/docs/deep/numbers.txt
: >src/docs/zero.txt
touch -d '2003-04-05 06:07:08 UTC' src/readme.txt

for mode in "" "--compress" "--compress --escape 7"; do
    # shellcheck disable=SC2086
    "$tool" pack $mode src pkg.apk >/dev/null
    rm -rf out
    [ "$("$tool" extract pkg.apk out)" = '{"result":0,"message":"","readsBack":0}' ] || fail "extract $mode"
    diff -r src out >/dev/null || fail "content differs after pack $mode"
    for f in readme.txt docs/blob.bin docs/deep/numbers.txt docs/zero.txt; do
        [ "$(stat -c %Y "src/$f")" = "$(stat -c %Y "out/$f")" ] || fail "time of $f ($mode)"
    done
    listing=$("$tool" list pkg.apk)
    case "$listing" in
        *'"name":"docs\\deep\\numbers.txt","size":'*) ;;
        *) fail "list shows no backslash name: $listing" ;;
    esac
done
"$tool" pack src plain.apk >/dev/null
"$tool" pack --compress src packed.apk >/dev/null
[ "$(stat -c %s packed.apk)" -lt "$(stat -c %s plain.apk)" ] || fail "compression gained nothing"

# A name that climbs out of the destination: refused, nothing written beside or inside.
python3 - <<'PY'
import struct
name = b"..\\escaped.txt\0"
data = b"owned"
off = 12 + 20 + len(name)
open("evil.apk", "wb").write(b"KLIV" + struct.pack("<iii", len(data), 1, off)
    + struct.pack("<iiii", len(data), len(name), 0, 0) + name + data)
PY
mkdir -p jail/dest
set +e
out=$("$tool" extract evil.apk jail/dest 2>/dev/null); rc=$?
set -e
[ $rc = 1 ] || fail "hostile package exit $rc"
[ "$out" = '{"result":-4,"message":"Invalid file name in archive: ..\\escaped.txt\n","readsBack":0}' ] ||
    fail "hostile message: $out"
[ ! -e jail/escaped.txt ] || fail "a file escaped the destination"

# A broken package: exit 1 with its message.
printf 'KLIV\0\0\0\0\0\0\0\0' >zero.apk
set +e
out=$("$tool" extract zero.apk dest2 2>/dev/null); rc=$?
set -e
[ $rc = 1 ] && [ "$out" = '{"result":-4,"message":"Invalid nr of files in archive","readsBack":0}' ] ||
    fail "zero count: $rc $out"
echo "archive round trip: ok"
