#!/usr/bin/env bash
# setuptool pack on awkward source trees: the package inside its own source, names that
# unpacking would fold together, links, and sizes past 2 GB. Each row: the tree, the exit
# status, and what the package holds or the error says; a failed pack leaves no package.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

names() { "$tool" list "$1" | python3 -c 'import json,sys; print(" ".join(f["name"] for f in json.load(sys.stdin)["files"]))'; }

# Package written into its own source twice: the second run leaves the first package out.
mkdir own && echo one >own/a.txt
"$tool" pack own own/out.apk >/dev/null
"$tool" pack --compress own own/out.apk >/dev/null
[ "$(names own/out.apk)" = "a.txt" ] || fail "own package packed: $(names own/out.apk)"
[ -z "$(ls own | grep part || true)" ] || fail "temporary file left in own/"

# Rows that must fail: message fragment, and no package (nor temporary file) afterwards.
row() {  # name, expected message fragment; the tree is in src-$name
    local name=$1 expect=$2 out rc
    set +e
    out=$("$tool" pack "src-$name" "pkg-$name.apk" 2>&1 >/dev/null); rc=$?
    set -e
    [ $rc = 1 ] || fail "$name: exit $rc"
    case "$out" in *"$expect"*) ;; *) fail "$name: message '$out'" ;; esac
    [ ! -e "pkg-$name.apk" ] || fail "$name: a package was left"
    [ -z "$(ls | grep '\.part$' || true)" ] || fail "$name: a temporary file was left"
}
mkdir src-case && echo 1 >src-case/A.TXT && echo 2 >src-case/a.txt
row case "src-case/A.TXT and src-case/a.txt"
mkdir -p src-slash/a && echo 1 >'src-slash/a\b' && echo 2 >src-slash/a/b
row slash 'src-slash/a\b and src-slash/a/b'
mkdir -p src-folder/X && echo 1 >src-folder/x.txt && echo 2 >src-folder/X/y && mv src-folder/x.txt src-folder/x
row folder "would fold into one"
mkdir -p src-dots && echo 1 >src-dots/n.txt && echo 2 >'src-dots/n.txt.'
row dots "would fold into one"
mkdir -p src-alias && echo 1 >src-alias/longfilename.txt && echo 2 >'src-alias/LONGFI~1.TXT'
row alias "src-alias/LONGFI~1.TXT and src-alias/longfilename.txt"
mkdir -p src-accent && echo 1 >"src-accent/$(printf '\xc9')" && echo 2 >"src-accent/$(printf '\xe9')"
row accent "would fold into one"
mkdir -p src-star && echo 1 >'src-star/a*b'
row star 'unusable file name: a*b'
mkdir -p src-dirlink/real && echo 1 >src-dirlink/real/f && ln -s real src-dirlink/alias
row dirlink "a link to a folder or to nothing is not packed: alias"
mkdir -p src-dangling && ln -s nowhere src-dangling/d.txt
row dangling "a link to a folder or to nothing is not packed: d.txt"
mkdir -p src-fifo && mkfifo src-fifo/pipe
row fifo "neither a file nor a folder: pipe"
# Sizes are checked before anything is read: two sparse 1.5 GB files fail at once.
mkdir -p src-huge && truncate -s 1500M src-huge/a.bin src-huge/b.bin
row huge "the archive would exceed 2 GB"

# Links to files are packed under their own names with the content they point to, also
# when the target lies outside the tree.
mkdir -p links/sub && echo inside >links/sub/a.txt && echo outside >target.txt
ln -s sub/a.txt links/b.txt
ln -s "$work/target.txt" links/out.txt
"$tool" pack links links.apk >/dev/null
[ "$(names links.apk)" = 'b.txt out.txt sub\a.txt' ] || fail "link names: $(names links.apk)"
"$tool" extract links.apk unpacked >/dev/null
[ "$(cat unpacked/b.txt)" = inside ] && [ "$(cat unpacked/out.txt)" = outside ] &&
    [ ! -L unpacked/b.txt ] || fail "link contents"
echo "pack of awkward trees: ok"
