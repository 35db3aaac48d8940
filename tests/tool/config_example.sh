#!/usr/bin/env bash
# setuptool config shows the example disc as Setup reads it; resolve expands text references.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
disc="$SETUP_SOURCE_DIR/tests/data/disc"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tool" config "$disc" >"$work/default.json"
"$tool" config "$disc" --language 1 >"$work/french.json"
grep -q 'Fran\\u00e7ais' "$work/default.json"
python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
d = json.load(open(work + "/default.json"))
assert list(d) == ["loaded", "languages", "currentLanguage", "texts", "fileTexts",
                   "splashColour", "captionColour", "bitmaps"], list(d)
assert d["loaded"] is True
assert d["languages"] == ["English", "Fran\u00e7ais"]
assert d["currentLanguage"] == 0
assert d["texts"][3] == "Licence\nagreement" and len(d["texts"]) == 5
assert d["fileTexts"] == ["Licence line one\r\nLicence line two\r\n", ""]
assert d["splashColour"] == 44 + 16 * 256 + 65536 and d["captionColour"] == 128 * 65536
files = ["bcancel.bmp", "bleft.bmp", "bright.bmp", "bfinish.bmp", "cbrand.bmp", "clogo.bmp",
         "slogo.bmp", "bar.bmp", "dbg.bmp", "bcancelf.bmp", "bleftf.bmp", "brightf.bmp",
         "bfinishf.bmp"]
for i, b in enumerate(d["bitmaps"]):
    assert list(b) == ["index", "file", "path", "fromResources", "width", "height"], list(b)
    assert (b["index"], b["file"], b["fromResources"]) == (i, files[i], False), b
    assert (b["width"], b["height"]) == (8 + i, 4 + i), b
    assert b["path"].replace("\\", "/").endswith("/rsc/" + files[i]), b
f = json.load(open(work + "/french.json"))
assert f["currentLanguage"] == 1 and f["texts"][0] == "Voulez-vous quitter ?"
assert f["fileTexts"] == ["Ligne un\r\nLigne deux\r\n"]
PY

# A copy without slogo.bmp and bar.bmp: the splash slot stays empty, the side picture is
# the built-in one, whose size is that of res/BAR.BMP.
cp -r "$disc" "$work/copy"
rm "$work/copy/rsc/slogo.bmp" "$work/copy/rsc/bar.bmp"
"$tool" config "$work/copy" >"$work/fallback.json"
python3 - "$work/fallback.json" "$SETUP_SOURCE_DIR/res/BAR.BMP" <<'PY'
import json, struct, sys
d = json.load(open(sys.argv[1]))
w, h = struct.unpack_from("<ii", open(sys.argv[2], "rb").read(), 18)
assert w >= 160 and h >= 320
assert d["loaded"] is True
assert d["bitmaps"][6] == {"index": 6, "file": "slogo.bmp", "path": None, "fromResources": False,
                           "width": None, "height": None}, d["bitmaps"][6]
assert d["bitmaps"][7] == {"index": 7, "file": "bar.bmp", "path": None, "fromResources": True,
                           "width": w, "height": abs(h)}, d["bitmaps"][7]
PY

# From a product folder when the rsc folder has none.
mkdir "$work/copy/PALM"
cp "$disc/rsc/dbg.bmp" "$work/copy/PALM/bar.bmp"
"$tool" config "$work/copy" | python3 -c '
import json, sys
b = json.load(sys.stdin)["bitmaps"][7]
assert b["path"].replace("\\", "/").endswith("/PALM/bar.bmp") and b["width"] == 16, b'

# resolve prints the expanded text and nothing else.
[ "$("$tool" resolve "$disc" '%04Palm Desktop|Palm')" = "Install Palm Desktop for Palm" ]
[ "$("$tool" resolve "$disc" --language 1 '%04A|B')" = "Installer A pour B" ]
[ "$("$tool" resolve "$disc" 'plain text')" = "plain text" ]
[ "$("$tool" resolve "$disc" '%099x')" = "%099x" ]
[ "$("$tool" resolve "$disc" '%04%s|%s')" = "Install %s for %s" ]
"$tool" resolve "$disc" '%01' | cmp - <(printf 'Setup\n')
echo ok
