#!/usr/bin/env bash
# setuptool parse prints the example script as Setup sees it, and reports failures as JSON.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

out=$("$tool" parse "$SETUP_SOURCE_DIR/examples/scripts/PALM.mnu" 2>"$work/err")
python3 - "$out" <<'PY'
import json, sys
d = json.loads(sys.argv[1])
assert list(d) == ["result", "message", "menus"], list(d)
assert d["result"] == 0 and d["message"] == ""
m0, m1 = d["menus"]
keys = ["index", "menuCount", "languageCount", "style", "languageStartMenu", "title", "topText",
        "bottomText", "version", "directory", "packageFolder", "platformName", "registrationUrl",
        "optionCount", "platformCode", "optionSelected", "autoEntered", "options"]
assert list(m0) == keys, list(m0)
assert list(m0["options"][0]) == ["kind", "label", "target", "copyright", "targetMenu", "autoFlag"]
assert (m0["style"], m0["title"], m0["topText"], m0["optionCount"]) == (2, "Welcome", "Please choose an action.", 3)
assert [o["kind"] for o in m0["options"]] == [0, 1, 7]
assert m0["options"][0]["targetMenu"] == 1 and m0["options"][1]["target"] == "intro.htm"
assert (m1["style"], m1["packageFolder"], m1["title"]) == (1, "PALM", "Sample Collection")
assert m1["options"][0] == {"kind": 5, "label": "Calculator", "target": "calc", "copyright": None, "targetMenu": 0, "autoFlag": 0}
assert m1["options"][1]["copyright"] == "viewer.txt" and m1["options"][1]["target"] == "viewer.exe"
PY
grep -q '^\[MENU 0 3 RADIOBUTTONS\]$' "$work/err"

# Header-only: one record, the declared count and no arrays.
out=$("$tool" parse --header-only --languages 2 "$SETUP_SOURCE_DIR/examples/scripts/PALM.mnu" 2>/dev/null)
python3 - "$out" <<'PY'
import json, sys
d = json.loads(sys.argv[1])
(m,) = d["menus"]
assert m["menuCount"] == 1 and m["optionCount"] == 3 and m["options"] is None
assert m["optionSelected"] is None and m["languageStartMenu"] == [0, 0]
PY

# A failure: exit status 1, the message on standard error and in the JSON, bytes kept.
mkdir -p "$work/d"
printf 'EPOC\r\n1\r\nCaf\xe9\r\nV\r\nU\r\nMENU 0 1\r\nQUIT\r\nQ\r\n' > "$work/d/EPOC.mnu"
set +e
out=$("$tool" parse "$work/d/EPOC.mnu" 2>"$work/err")
status=$?
set -e
[ "$status" -eq 1 ]
grep -q '^Unexpected end of file$' "$work/err"
case "$out" in *'"title":"Caf\u00e9"'*) ;; *) echo "high byte not escaped: $out"; exit 1;; esac
python3 - "$out" <<'PY'
import json, sys
d = json.loads(sys.argv[1])
assert d["result"] == -95 and d["message"] == "Unexpected end of file"
assert d["menus"][0]["title"] == "Caf\u00e9"
PY
echo ok
