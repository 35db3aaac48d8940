#!/usr/bin/env bash
# setuptool install: the native build says that installing needs Windows and answers false;
# an unknown platform or a missing base path is a usage error.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
out=$("$tool" install palm "$work/pkg" 2>"$work/err") || status=$?
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; exit 1; }
[ "$out" = '{"result":false}' ] || { echo "output: $out"; exit 1; }
grep -q "installing needs Windows" "$work/err"

for args in "install" "install PALM" "install SYMBIAN $work/pkg" "install PALM a b"; do
    status=0
    # shellcheck disable=SC2086
    "$tool" $args >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || { echo "'$args': exit status $status, expected 2"; exit 1; }
    grep -q "^usage: setuptool install EPOC|N9210|POCKETPC|PALM BASE_PATH$" "$work/err"
    [ ! -s "$work/out" ] || { echo "'$args' printed a result"; exit 1; }
done
