#!/usr/bin/env python3
"""A mock-up of the sample disc's skin, for a look at the design before Setup runs: a check
list page, a list page and the splash, laid out by the wizard's rectangles, with grey bars
where Setup writes text. Writes a PNG (default build/skin-preview.png). Pure Python."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
RSC = os.path.join(ROOT, "examples", "disc", "rsc")
sys.path.insert(0, HERE)
from images import Canvas, read_bmp  # noqa: E402


def ini_colour(prefix):
    values = {}
    for line in open(os.path.join(RSC, "rscinfo.ini"), encoding="latin-1"):
        if "=" in line and not line.startswith(";"):
            k, v = line.strip().split("=", 1)
            values[k.lower()] = v
    return tuple(int(values[prefix + c]) & 255 for c in ("r", "g", "b"))


def text(c, x, y, chars, colour=(60, 60, 60), height=8):
    """A grey bar as wide as the text would be (about 6 pixels a character)."""
    c.fill(x, y + 3, x + int(chars * 6.2), y + 3 + height, colour)


def bmp(name):
    return read_bmp(os.path.join(RSC, name))


def wizard(page, options):
    """One page: 'check' (check boxes), 'list' (a list control) or 'text' (a text box)."""
    c = Canvas(600, 420, (255, 255, 255))
    dbg, bleft, bright, bcancel = bmp("dbg.bmp"), bmp("bleft.bmp"), bmp("brightf.bmp"), bmp("bcancel.bmp")
    wbg = len(dbg[0])
    hb, wb = len(bleft), len(bleft[0])
    content = (610 - wbg, 81, 580, 380 - len(bcancel))
    c.fill(0, 0, 600, 20, ini_colour("caption"))
    text(c, 40, 2, 24, (255, 255, 255), 9)
    c.fill(600 - wbg - 2, 30, 600 - wbg - 1, 410, (0, 0, 0))
    c.blit(dbg, 600 - wbg, 20)
    brand = bmp("cbrand.bmp")
    c.blit(brand, 594 - len(brand[0]), 0)
    c.blit(bmp("clogo.bmp"), 2, 0)
    text(c, content[0], 30, 60)
    text(c, content[0], 46, 34)
    line_h = 16
    if page == "check":
        n = options
        y0 = content[1] + (content[3] - content[1] - n * (line_h + 2)) // 2
        for i in range(n):
            y = y0 + i * (line_h + 8)
            c.fill(content[0], y + 1, content[0] + 13, y + 14, (90, 90, 90))
            c.fill(content[0] + 1, y + 2, content[0] + 12, y + 13, (255, 255, 255))
            if i in (0, 2):
                c.fill(content[0] + 4, y + 5, content[0] + 9, y + 10, (20, 20, 20))
            text(c, content[0] + 18, y + 1, 18 + (i * 7) % 15)
    elif page in ("list", "text"):
        top = content[1] + (32 if page == "text" else 0)
        bottom = content[3] - (32 if page == "text" else 10)
        c.fill(content[0], top, content[2], bottom, (120, 120, 120))
        c.fill(content[0] + 1, top + 1, content[2] - 1, bottom - 1, (255, 255, 255))
        for i in range((bottom - top - 4) // 17):
            y = top + 2 + i * 17
            if page == "list" and i == 3:
                c.fill(content[0] + 2, y, content[2] - 20, y + 17, (0, 120, 215))
            text(c, content[0] + 6, y + 1, 12 + (i * 5) % 11, (255, 255, 255) if page == "list" and i == 3 else (60, 60, 60))
        c.fill(content[2] - 17, top + 1, content[2] - 1, bottom - 1, (225, 225, 225))
    text(c, content[0], content[3] - 51, 50)
    x0, s = 510 - 3 * wb, wb + 30
    c.blit(bleft, x0 + (s - wb) // 2, 390 - hb)
    c.blit(bright, x0 + s + (s - len(bright[0])) // 2, 390 - hb)
    c.blit(bcancel, x0 + 2 * s + (s - len(bcancel[0])) // 2, 390 - hb)
    barimg = bmp("bar.bmp")
    c.fill(15, 30, 175, 350, (0, 0, 0))
    c.blit(barimg, 15, 30, 160, 320)
    text(c, 15 + (160 - 20 * 6) // 2, 362, 20)
    text(c, 15 + (160 - 11 * 6) // 2, 378, 11)
    return c


def splash_on_desktop():
    pic = bmp("slogo.bmp")
    colour = ini_colour("splash")
    w, h = len(pic[0]), len(pic)
    c = Canvas(w + 40, h + 40, (104, 112, 122))
    for y in range(h):
        for x in range(w):
            if pic[y][x] != (255, 255, 255):
                c.px[y + 20][x + 20] = colour if y < 360 else (0, 0, 0)
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "skin-preview.png")
    pages = [wizard("check", 5), wizard("list", 0), splash_on_desktop()]
    width = sum(p.w for p in pages) + 20 * (len(pages) + 1)
    height = max(p.h for p in pages) + 40
    sheet = Canvas(width, height, (40, 40, 40))
    x = 20
    for p in pages:
        sheet.blit(p.px, x, 20)
        x += p.w + 20
    sheet.png(out)
    print(out)


if __name__ == "__main__":
    main()
