#!/usr/bin/env python3
"""Turns the walk's screenshots (BMP files in FOLDER, named in page order) into PNG files and
puts them, at half size and in order, on one contact sheet.
    contact_sheet.py FOLDER SHEET.png"""
import glob
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from images import Canvas, halve, read_bmp, write_png  # noqa: E402

COLUMNS, GAP = 4, 12


def main():
    folder, sheet_path = sys.argv[1], sys.argv[2]
    shots = sorted(glob.glob(os.path.join(folder, "*.bmp")))
    if not shots:
        sys.exit("contact_sheet: no screenshots in %s" % folder)
    thumbs = []
    for path in shots:
        rows = read_bmp(path)
        write_png(path[:-4] + ".png", rows)
        os.remove(path)
        thumbs.append(halve(rows))
    cell_w = max(len(t[0]) for t in thumbs)
    cell_h = max(len(t) for t in thumbs)
    columns = min(COLUMNS, len(thumbs))
    lines = (len(thumbs) + columns - 1) // columns
    sheet = Canvas(GAP + columns * (cell_w + GAP), GAP + lines * (cell_h + GAP), (48, 52, 60))
    for i, thumb in enumerate(thumbs):
        x = GAP + (i % columns) * (cell_w + GAP) + (cell_w - len(thumb[0])) // 2
        y = GAP + (i // columns) * (cell_h + GAP) + (cell_h - len(thumb)) // 2
        sheet.blit(thumb, x, y)
    sheet.png(sheet_path)
    print("%d screenshots" % len(thumbs))


if __name__ == "__main__":
    main()
