#!/usr/bin/env bash
# The complete script of README's guide parses as the guide says.
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/Travel"
awk '/<!-- example script/ { found = 1; next }
     found && /^```/ { if (inside) exit; inside = 1; next }
     inside { print }' "$SETUP_SOURCE_DIR/README.md" >"$work/Travel/EPOC.mnu"
[ -s "$work/Travel/EPOC.mnu" ] || { echo "no example script in README.md"; exit 1; }
"$tool" parse --languages 2 "$work/Travel/EPOC.mnu" 2>/dev/null >"$work/out.json"
python3 - "$work/out.json" <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
assert d["result"] == 0, d["message"]
m0, m1, m2 = d["menus"]
assert m0["languageStartMenu"] == [0, 1]
assert (m0["style"], m1["style"], m2["style"]) == (2, 2, 1)
assert (m0["title"], m0["version"], m2["packageFolder"]) == ("Travel Pack", "Version 1.0 for Psion", "maps")
assert [o["kind"] for o in m0["options"]] == [0, 1, 6, 7]
exe = m0["options"][2]
assert (exe["target"], exe["copyright"]) == ("planner.exe /metric", "planner.txt")
auto = m1["options"][0]
assert (auto["kind"], auto["autoFlag"], auto["targetMenu"]) == (0, 1, 2)
assert [o["kind"] for o in m2["options"]] == [2, 2, 1]
assert m2["options"][0]["label"] == "%04Europe|Psion" and m2["options"][2]["target"].startswith("http://")
PY
echo ok
