#!/usr/bin/env python3
"""Turns the walk's screenshots (BMP files in FOLDER, named in page order) into PNG files and
puts them, at half size and in order, on one contact sheet.
    contact_sheet.py FOLDER SHEET.png"""
import glob
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from images import contact_sheet, halve, read_bmp, write_png  # noqa: E402

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
    sheet = contact_sheet(thumbs, COLUMNS, GAP)
    sheet.png(sheet_path)
    print("%d screenshots" % len(thumbs))


if __name__ == "__main__":
    main()
