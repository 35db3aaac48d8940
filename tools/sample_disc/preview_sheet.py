#!/usr/bin/env python3
"""One contact sheet per language of Setup's preview: every picture under
PREVIEW/<language>/ (start-up pages first, then each script's pages in menu order) at half size.
    preview_sheet.py PREVIEW        writes PREVIEW/<language>.png for each language folder"""
import glob
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from images import contact_sheet, halve, read_png  # noqa: E402

COLUMNS, GAP = 4, 12
STARTUP = ["language", "platform", "product", "start"]


def order(path, language):
    rel = os.path.relpath(path, language)
    name = os.path.splitext(os.path.basename(rel))[0]
    folder = os.path.dirname(rel)
    number = int(re.sub(r"\D", "", name) or 0)
    kind = 0 if name.startswith("menu") else 1 if name.startswith("summary") else 2
    first = next((i for i, s in enumerate(STARTUP) if name.startswith(s)), len(STARTUP))
    return (folder != "", folder, first, kind, number, name)


def sheet(language, out):
    pictures = sorted(glob.glob(os.path.join(language, "**", "*.png"), recursive=True),
                      key=lambda p: order(p, language))
    if not pictures:
        return 0
    thumbs = [halve(read_png(p)) for p in pictures]
    canvas = contact_sheet(thumbs, COLUMNS, GAP)
    canvas.png(out)
    return len(thumbs)


def main():
    preview = sys.argv[1]
    for language in sorted(glob.glob(os.path.join(preview, "*", ""))):
        language = language.rstrip(os.sep)
        out = language + ".png"
        count = sheet(language, out)
        if count:
            print("%s: %d pages" % (out, count))


if __name__ == "__main__":
    main()
