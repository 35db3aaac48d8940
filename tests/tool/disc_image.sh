#!/usr/bin/env bash
# setuptool image on the sample disc: the image's Joliet tree (what Windows reads) and its Rock
# Ridge tree (what Linux reads), read back with osirrox, hold the folder's files byte for byte,
# name for name and time for time, read-only, with autorun.inf; then the discs, labels and
# outputs that must not become an image, each refused with the file and the rule, leaving no
# image and no temporary file.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
src="$SETUP_SOURCE_DIR"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The sample disc, complete, with stand-ins for Setup.exe and the programs.
"$src/tools/sample_disc/assemble_disc.sh" "$tool" disc
# Names at the edge of what Joliet holds: 64 characters, and letters beyond ASCII.
echo edge >"disc/rsc/$(printf 'n%.0s' $(seq 64))"
echo accent >"disc/rsc/Caf$(printf '\xc3\xa9') $(printf '\xc3\x89')t$(printf '\xc3\xa9').txt"
touch -d '2001-02-03 04:05:06' disc/rsc/licence0.txt disc/Games

# Equal trees: the same names, the same bytes, the same modification times (to the second,
# what ISO 9660 records); with --read-only, no file or folder of tree writable.
compare() {  # folder, extracted tree, label
    python3 - "$@" <<'PY'
import os, stat, sys
want, got, label = sys.argv[1:4]
def walk(root):
    out = {}
    for base, dirs, files in os.walk(root):
        for n in dirs + files:
            p = os.path.join(base, n)
            out[os.path.relpath(p, root)] = p
    return out
a, b = walk(want), walk(got)
if sorted(a) != sorted(b):
    sys.exit("%s: names differ: only in folder %s, only in image %s"
             % (label, sorted(set(a) - set(b))[:5], sorted(set(b) - set(a))[:5]))
for name in a:
    sa, sb = os.lstat(a[name]), os.lstat(b[name])
    if stat.S_ISDIR(sa.st_mode) != stat.S_ISDIR(sb.st_mode):
        sys.exit("%s: %s: file and folder" % (label, name))
    if int(sa.st_mtime) != int(sb.st_mtime):
        sys.exit("%s: %s: time %d in the folder, %d in the image"
                 % (label, name, sa.st_mtime, sb.st_mtime))
    if sb.st_mode & 0o222:
        sys.exit("%s: %s: writable in the image (%o)" % (label, name, sb.st_mode))
    if not stat.S_ISDIR(sa.st_mode) and open(a[name], "rb").read() != open(b[name], "rb").read():
        sys.exit("%s: %s: contents differ" % (label, name))
print("%s: %d names equal" % (label, len(a)))
PY
}

json() { python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print(d[sys.argv[2]])' "$@"; }

# The image of the sample disc, made twice: the second replaces the first.
"$tool" image disc sample.iso >first.json 2>err.txt || { cat err.txt >&2; fail "sample image"; }
"$tool" image disc sample.iso >result.json 2>err.txt || { cat err.txt >&2; fail "second image"; }
[ ! -s err.txt ] || fail "messages on a good image: $(cat err.txt)"
[ "$(json result.json label)" = HANDHELD_COLLECT ] || fail "label $(json result.json label)"
[ "$(json result.json autorun)" = added ] || fail "autorun $(json result.json autorun)"
[ -z "$(ls | grep -e '\.part$' -e '^report.txt$' || true)" ] || fail "files left: $(ls)"
xorriso -indev sample.iso -pvd_info 2>/dev/null | grep -q '^Volume Id *: HANDHELD_COLLECT$' ||
    fail "volume id"

# Both trees of the image are the folder plus the autorun.inf that starts Setup.exe.
printf '[autorun]\r\nopen=Setup.exe\r\nicon=Setup.exe,0\r\nlabel=HANDHELD_COLLECT\r\n' >autorun.inf
for fs in any norock; do  # Rock Ridge, then Joliet alone
    osirrox -read_fs $fs -indev sample.iso -extract / "tree-$fs" 2>/dev/null
    cmp -s autorun.inf "tree-$fs/autorun.inf" || fail "$fs: autorun.inf: $(cat -A "tree-$fs/autorun.inf")"
    touch -r "tree-$fs/autorun.inf" autorun.inf
    cp -p autorun.inf disc/autorun.inf
    compare disc "tree-$fs" "$fs" || fail "the $fs tree"
    rm disc/autorun.inf
done
# The Joliet tree kept every name as it is (ISO 9660 names alone would be capitals, cut to
# 31 characters); the Rock Ridge tree owns its files as root, read-only.
xorriso -indev sample.iso -find /rsc -type f -exec lsdl -- 2>/dev/null | grep -v '^-r--r--r-- *1 0 *0 ' &&
    fail "owner or mode of a file"

# A disc's own autorun.inf is kept when the program it starts is on the disc.
mkdir own && cp -r disc own/disc
printf '[AutoRun]\r\nOPEN=organizer\\palm\\TOUR.EXE /start\r\n' >own/disc/AUTORUN.INF
"$tool" image own/disc own.iso --label OWN_1 >own.json
[ "$(json own.json autorun)" = kept ] && [ "$(json own.json label)" = OWN_1 ] || fail "own autorun"
osirrox -read_fs norock -indev own.iso -extract /AUTORUN.INF own/read.inf 2>/dev/null
cmp -s own/disc/AUTORUN.INF own/read.inf || fail "own autorun.inf changed"

# --setup puts the file it names at the root, in place of the disc's own (any case).
mkdir given && cp -r disc given/disc && mv given/disc/Setup.exe given/disc/SETUP.EXE
echo "another build" >given/Setup.exe
"$tool" image given/disc given.iso --setup given/Setup.exe >/dev/null
osirrox -read_fs norock -indev given.iso -extract / given/tree 2>/dev/null
cmp -s given/Setup.exe given/tree/Setup.exe && [ ! -e given/tree/SETUP.EXE ] || fail "--setup"

# Rows that must fail: the change made to a copy of the disc, the arguments, and what the
# message says; no image and no temporary file afterwards.
n=0
row() {  # change, expected message fragment, then the arguments after DISC OUT
    local change=$1 expect=$2 out rc
    shift 2
    n=$((n + 1))
    rm -rf bad && cp -r disc bad
    (cd bad && eval "$change")
    set +e
    out=$("$tool" image bad bad.iso "$@" 2>&1 >/dev/null)
    rc=$?
    set -e
    [ $rc != 0 ] || fail "row $n ($change): exit 0"
    case "$out" in *"$expect"*) ;; *) fail "row $n ($change): message '$out'" ;; esac
    [ ! -f bad.iso ] || fail "row $n ($change): an image was left"
    [ -z "$(ls | grep '\.part$' || true)" ] || fail "row $n ($change): a temporary file was left"
}
long="$(printf 'x%.0s' $(seq 61)).txt"
row "echo 1 >Games/$long" "Games/$long: longer than 64 UTF-16 characters"
row "echo 1 >Games/a:b" "Games/a:b: a Joliet name may not hold * / : ; ? \\"
row "echo 1 >'rsc/what?'" "rsc/what?: a Joliet name may not hold"
row "echo 1 >README && echo 2 >readme" "README and readme: one name for Windows"
row "echo 1 >Games/x.txt && echo 2 >'Games/X.TXT.'" "Games/X.TXT. and Games/x.txt: one name"
row "rm Setup.exe" "Setup.exe: not at the root of the disc"
row "mv Setup.exe rsc/" "Setup.exe: not at the root of the disc"
row "rm Games/EPOC/solitaire.APK" "Checking menu"
row "rm Games/EPOC/solitaire.APK" "fails its check"
row "printf '[autorun]\r\nopen=gone.exe\r\n' >autorun.inf" \
    "autorun.inf: open= names gone.exe, which is not on the disc"
row "printf '[autorun]\r\nicon=Setup.exe\r\n' >autorun.inf" "autorun.inf: names no program"
row "ln -s ../.. Games/up" "Games/up: a link"
row "ln -s Setup.exe start.exe" "start.exe: a link"
row "mkfifo rsc/pipe" "rsc/pipe: neither a file nor a folder"
row "true" "label lower: an ISO 9660 label holds only A-Z, 0-9 and _" --label lower
row "true" "longer than 16 characters" --label ABCDEFGHIJKLMNOPQ
row "rm Setup.exe" "--setup names no file" --setup /dev/null
row "mkfifo ../pipe" "--setup names no file" --setup pipe
# The output itself: a folder or a pipe under its name is never written through.
mkdir bad.iso.d
set +e
out=$("$tool" image disc bad.iso.d 2>&1 >/dev/null)
rc=$?
set -e
[ $rc = 1 ] && [[ $out == *"bad.iso.d: not a plain file"* ]] || fail "a folder as OUT: $rc $out"
mkfifo out.fifo
out=$(timeout 20 "$tool" image disc out.fifo 2>&1 >/dev/null) && fail "a pipe as OUT"
[[ $out == *"out.fifo: not a plain file"* ]] || fail "a pipe as OUT: $out"

# --force makes the image of a disc that fails its check, after saying what is missing.
rm -rf bad && cp -r disc bad && rm bad/Games/EPOC/solitaire.APK
"$tool" image bad forced.iso --force >/dev/null 2>forced.txt || fail "--force"
grep -q 'solitaire' forced.txt && grep -q -- '--force' forced.txt || fail "--force: $(cat forced.txt)"
echo "disc image: ok ($n refusals)"
