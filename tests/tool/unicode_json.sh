#!/usr/bin/env bash
# setuptool reads settings and scripts of every kind as Setup does, and its JSON carries the
# real characters: Unicode files whole, ANSI bytes in the code page named by --codepage
# (Windows-1252 by default).
set -euo pipefail
tool="$SETUP_BIN_DIR/setuptool"
disc="$SETUP_SOURCE_DIR/tests/data/disc"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One disc per form of rscinfo.ini: eight languages, and a UTF-16 licence for each.
python3 - "$work" "$disc" <<'PY'
import shutil, sys
work, disc = sys.argv[1:]
names = ["English", "Français", "Polski", "Русский", "Ελληνικά", "Türkçe", "日本語", "中文"]
ini = "[Language]\r\n" + "".join("lang%d=%s\r\n" % (i, n) for i, n in enumerate(names))
for i, n in enumerate(names):
    ini += "[lang%d]\r\ntext%d=%s\r\nfile0=licence%d.txt\r\n" % (i, i, n, i)
    if i != 0:
        ini = ini.replace("[lang%d]\r\n" % i, "[lang%d]\r\ntext0=%s?\r\n" % (i, n), 1)
forms = {"utf16": b"\xff\xfe" + ini.encode("utf-16-le"), "utf8": b"\xef\xbb\xbf" + ini.encode()}
for form, data in forms.items():
    shutil.copytree(disc, work + "/" + form)
    open(work + "/" + form + "/rsc/rscinfo.ini", "wb").write(data)
    for i, n in enumerate(names):
        open(work + "/%s/rsc/licence%d.txt" % (form, i), "wb").write(
            b"\xff\xfe" + ("%s\n" % n).encode("utf-16-le"))
# The ANSI twin in Windows-1251, with a licence in that code page.
shutil.copytree(disc, work + "/cp1251")
open(work + "/cp1251/rsc/rscinfo.ini", "wb").write(
    "[Language]\r\nlang0=Русский\r\n[lang0]\r\ntext0=Выход?\r\nfile0=l.txt\r\n".encode("cp1251"))
open(work + "/cp1251/rsc/l.txt", "wb").write("Лицензия €\n".encode("cp1251"))
PY

names='["English", "Français", "Polski", "Русский", "Ελληνικά", "Türkçe", "日本語", "中文"]'
for form in utf16 utf8; do
    for language in 0 3 6; do
        "$tool" config "$work/$form" --language $language >"$work/$form$language.json"
        python3 - "$work/$form$language.json" "$names" $language <<'PY'
import json, sys
d = json.load(open(sys.argv[1]))
names, language = json.loads(sys.argv[2]), int(sys.argv[3])
assert d["languages"] == names, d["languages"]
assert d["currentLanguage"] == language
assert d["fileTexts"][0] == names[language] + "\r\n", d["fileTexts"]
if language:
    assert d["texts"][0] == names[language] + "?", d["texts"]
raw = open(sys.argv[1], "rb").read()
assert max(raw) < 0x80  # ASCII, the characters as escapes
PY
    done
done

# ANSI bytes: Windows-1252 unless told, or the code page named.
"$tool" config "$work/cp1251" | python3 -c '
import json, sys
d = json.load(sys.stdin)
assert d["languages"] == ["Ðóññêèé"], d["languages"]
assert d["fileTexts"] == ["Ëèöåíçèÿ ˆ\r\n"], d["fileTexts"]'
for args in "--codepage 1251 config $work/cp1251" "config $work/cp1251 --codepage 1251"; do
    "$tool" $args | python3 -c '
import json, sys
d = json.load(sys.stdin)
assert d["languages"] == ["Русский"] and d["texts"] == ["Выход?"], d
assert d["fileTexts"] == ["Лицензия €\r\n"], d["fileTexts"]'
done
set +e
"$tool" config "$work/cp1251" --codepage 4242 >/dev/null 2>"$work/err"
status=$?
set -e
[ "$status" -eq 2 ]
grep -q '^setuptool: unknown code page 4242$' "$work/err"

# Scripts: UTF-16, UTF-8 with its mark, and ANSI.
mkdir -p "$work/s16" "$work/s8" "$work/sansi"
python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
script = "\r\n".join(["PALM", "1", "Ωμέγα", "1.0", "-", "MENU 0 2 LIST", "HTMLOPTION",
                      "Документ", "Документ.txt", "QUIT", "日本語", "END", ""])
open(work + "/s16/PALM.mnu", "wb").write(b"\xff\xfe" + script.encode("utf-16-le"))
open(work + "/s8/PALM.mnu", "wb").write(b"\xef\xbb\xbf" + script.encode())
open(work + "/sansi/PALM.mnu", "wb").write(
    script.replace("Ωμέγα", "Café €").replace("Документ", "Doc").replace("日本語", "Élan")
    .encode("cp1252"))
PY
for form in s16 s8; do
    "$tool" parse "$work/$form/PALM.mnu" 2>/dev/null | python3 -c '
import json, sys
(m,) = json.load(sys.stdin)["menus"]
assert m["title"] == "Ωμέγα", m["title"]
assert [(o["label"], o["target"]) for o in m["options"]] == [("Документ", "Документ.txt"), ("日本語", None)]'
done
out=$("$tool" parse "$work/sansi/PALM.mnu" 2>/dev/null)
case "$out" in *'"title":"Caf\u00e9 \u20ac"'*) ;; *) echo "ANSI title: $out"; exit 1;; esac
echo ok
