#!/usr/bin/env bash
# setuptool's progress line: on a terminal (here a pty made by script) a long pack shows its
# per cent and rate on one line rewritten in place; into a file nothing is written to
# standard error.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v script >/dev/null || fail "script (util-linux) is needed for a terminal"

# A second or more of the closest parse: past the line's first quarter second.
mkdir src
for i in $(seq 1 100000); do echo "line $i of some text $((i * 7919 % 10007))"; done >src/a.txt
# A package holds the files' access times too: the first read of a new file moves its access
# time, so it is read once here, before the packages that are compared.
touch -m -d @946684800 src/a.txt
cat src/a.txt >/dev/null

script -q -e -c "'$tool' pack --best src best.apk" /dev/null </dev/null >tty.out ||
    fail "pack on a terminal: exit $?"
line=$(tr '\r' '\n' <tty.out | grep -a 'pack: compressing' || true)
[ -n "$line" ] || fail "no progress line on the terminal: $(cat -A tty.out)"
echo "$line" | grep -Eqv '^pack: compressing +[0-9]{1,3}% [0-9]+\.[0-9] MB/s *$' &&
    fail "a line not of the form 'pack: compressing N% R MB/s': $(echo "$line" | cat -A)"
echo "$line" | grep -q ' 100% ' || fail "the line does not end at 100%: $line"
# One line rewritten in place: no line break before the last state.
[ "$(grep -ac 'pack: compressing' tty.out)" = 1 ] || fail "the progress took several lines"

# Into files: the result on standard output, nothing on standard error.
"$tool" pack --best src quiet.apk >out 2>err
[ ! -s err ] || fail "pack --best wrote to a file: $(cat err)"
cmp -s best.apk quiet.apk || fail "the progress changed the package"
"$tool" pack src plain.apk >out 2>err
[ ! -s err ] || fail "pack wrote to a file: $(cat err)"
"$tool" extract best.apk dest >out 2>err
[ ! -s err ] || fail "extract wrote to a file: $(cat err)"
cmp -s src/a.txt dest/a.txt || fail "extract changed the file"
echo "progress line: ok"
