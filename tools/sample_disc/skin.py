"""The skin of the sample disc: 13 bitmaps in one design (navy caption band, a pale content
panel, amber accents), drawn in pure Python. Lettering uses a small stroke font, sampled
several times a pixel so that its edges are smooth; the splash outline is drawn without
smoothing, because every pixel that is not pure white becomes part of the window."""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skin"))
from make_bitmaps import bmp_bytes, clamp, mix  # noqa: E402

NAVY = (22, 45, 92)  # also the caption colour of rscinfo.ini
NAVY_DARK = (12, 26, 58)
TEAL = (16, 128, 142)
AMBER = (246, 168, 38)
AMBER_DARK = (214, 124, 16)
PANEL_TOP = (250, 251, 253)
PANEL_BOTTOM = (231, 237, 246)
FOOTER = (222, 229, 240)  # the panel's footer, and the corners of the buttons standing on it
WHITE = (255, 255, 255)
SPLASH = (20, 70, 130)  # the splash colour of rscinfo.ini

WIZARD_W, WIZARD_H = 600, 420
PANEL_W, PANEL_H = 420, 400  # dbg.bmp: drawn at (600 - 420, 20), so the panel starts at x = 190
BUTTON_W, BUTTON_H = 84, 28
FOOTER_TOP = 350  # in wizard coordinates; the buttons stand at 390 - 28 = 362


# --- geometry -------------------------------------------------------------------------------

def seg_dist2(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    L = dx * dx + dy * dy
    t = 0.0 if L == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / L))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy


def arc(cx, cy, rx, ry, a0, a1, steps=24):
    """Points of an elliptic arc; angles in degrees, 0 = right, 90 = down (y grows down)."""
    pts = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def supersample(sample, ss=3):
    """A pixel function that averages sample(fx, fy) over ss x ss points of each pixel."""
    def pixel(x, y):
        acc = [0.0, 0.0, 0.0]
        for j in range(ss):
            for i in range(ss):
                c = sample(x + (i + 0.5) / ss, y + (j + 0.5) / ss)
                acc[0] += c[0]
                acc[1] += c[1]
                acc[2] += c[2]
        n = ss * ss
        return clamp((acc[0] / n, acc[1] / n, acc[2] / n))
    return pixel


# --- a stroke font: capitals of height 1, y down -------------------------------------------

GLYPHS = {
    "A": (0.62, [[(0, 1), (0.31, 0), (0.62, 1)], [(0.12, 0.66), (0.5, 0.66)]]),
    "C": (0.6, [arc(0.33, 0.5, 0.33, 0.5, -45, -315)]),
    "D": (0.6, [[(0.22, 1), (0, 1), (0, 0), (0.22, 0)] + arc(0.22, 0.5, 0.38, 0.5, -90, 90)[1:-1]
                + [(0.22, 1)]]),
    "E": (0.5, [[(0.5, 0), (0, 0), (0, 1), (0.5, 1)], [(0, 0.5), (0.42, 0.5)]]),
    "H": (0.56, [[(0, 0), (0, 1)], [(0.56, 0), (0.56, 1)], [(0, 0.5), (0.56, 0.5)]]),
    "I": (0.0, [[(0, 0), (0, 1)]]),
    "L": (0.48, [[(0, 0), (0, 1), (0.48, 1)]]),
    "N": (0.58, [[(0, 1), (0, 0), (0.58, 1), (0.58, 0)]]),
    "O": (0.7, [arc(0.35, 0.5, 0.35, 0.5, 0, 360, 40)]),
    "P": (0.52, [[(0, 1), (0, 0), (0.26, 0)] + arc(0.26, 0.27, 0.26, 0.27, -90, 90)[1:-1]
                 + [(0.26, 0.54), (0, 0.54)]]),
    "R": (0.54, [[(0, 1), (0, 0), (0.26, 0)] + arc(0.26, 0.27, 0.26, 0.27, -90, 90)[1:-1]
                 + [(0.26, 0.54), (0, 0.54)], [(0.24, 0.54), (0.54, 1)]]),
    "S": (0.54, [arc(0.27, 0.26, 0.26, 0.26, -20, -270) + arc(0.27, 0.75, 0.27, 0.25, -90, 160)]),
    "T": (0.6, [[(0, 0), (0.6, 0)], [(0.3, 0), (0.3, 1)]]),
    "U": (0.56, [[(0, 0), (0, 0.68)] + arc(0.28, 0.68, 0.28, 0.32, 180, 0)[1:] + [(0.56, 0)]]),
    "Z": (0.52, [[(0, 0), (0.52, 0), (0, 1), (0.52, 1)]]),
    " ": (0.3, []),
}


class Lettering:
    """A line of text in the stroke font, placed at (x, y) (top left) with a cap height and a
    stroke width in pixels; hit(fx, fy) tells whether a point lies on a stroke."""

    def __init__(self, text, x, y, cap, stroke, spacing=0.28):
        self.segments = []
        self.half2 = (stroke / 2.0) ** 2
        pen = x + stroke / 2.0
        for ch in text:
            width, lines = GLYPHS[ch]
            for line in lines:
                for (ax, ay), (bx, by) in zip(line, line[1:]):
                    self.segments.append((pen + ax * cap, y + ay * cap, pen + bx * cap, y + by * cap))
            pen += width * cap + stroke + spacing * cap
        self.width = pen - spacing * cap - stroke / 2.0 - x
        pad = stroke
        self.box = (x - pad, y - pad, pen + pad, y + cap + pad)

    def hit(self, fx, fy):
        x0, y0, x1, y1 = self.box
        if not (x0 <= fx <= x1 and y0 <= fy <= y1):
            return False
        return any(seg_dist2(fx, fy, *s) <= self.half2 for s in self.segments)


def text_width(text, cap, stroke, spacing=0.28):
    return Lettering(text, 0, 0, cap, stroke, spacing).width


# --- the pictures --------------------------------------------------------------------------

def disc_shade(x, y, cx, cy, r):
    """A compact disc seen from the front: silver with a rainbow sheen, a clear hub and hole.
    None outside the disc and in its hole."""
    d = math.hypot(x - cx, y - cy)
    if d > r or d < r * 0.14:
        return None
    ang = math.atan2(y - cy, x - cx)
    sheen = 0.5 + 0.5 * math.cos(2 * ang - 0.9)
    col = mix((176, 186, 204), (248, 250, 255), sheen)
    rainbow = (128 + 100 * math.sin(ang * 2 + 0.0), 128 + 100 * math.sin(ang * 2 + 2.1),
               128 + 100 * math.sin(ang * 2 + 4.2))
    col = mix(col, rainbow, 0.18 * (1 - abs(math.cos(ang * 2 - 0.9))))
    if d < r * 0.36:
        col = mix((214, 220, 230), (196, 204, 218), (d - r * 0.14) / (r * 0.22))
    if abs(d - r * 0.36) < 0.8 or d > r - 1.0:
        col = mix(col, (90, 100, 120), 0.55)
    return col


def handheld(x, y, x0, y0, x1, y1, screen):
    """A handheld organiser: dark body, a bright screen with lines of text, four keys."""
    if not inside_round_rect(x, y, x0, y0, x1, y1, 9):
        return None
    w, h = x1 - x0, y1 - y0
    col = mix((48, 54, 70), (78, 86, 106), (x - x0) / w)
    sx0, sy0, sx1, sy1 = x0 + 9, y0 + 11, x1 - 9, y0 + h * 0.62
    if sx0 <= x <= sx1 and sy0 <= y <= sy1:
        col = mix(screen, mix(screen, (0, 0, 0), 0.25), (y - sy0) / (sy1 - sy0))
        line = int((y - sy0 - 7) // 9)
        if 0 <= line < 5 and (y - sy0 - 7) % 9 < 3 and sx0 + 7 <= x <= sx1 - 7 - (line % 3) * 10:
            col = mix(screen, (20, 50, 60), 0.7)
    for k in range(4):
        kx = x0 + 14 + k * (w - 28) / 3
        if math.hypot(x - kx, y - (y1 - 17)) <= 5.5:
            col = (206, 212, 222) if k else AMBER
    return col


def bar(w=160, h=320):
    """The side picture: a disc above a handheld under a night-blue sky, rounded corners."""
    def sample(x, y):
        if not inside_round_rect(x, y, 0, 0, w, h, 12):
            return WHITE
        col = mix(NAVY, TEAL, (y / h) ** 1.3)
        glow = math.exp(-((x - w * 0.5) ** 2 + (y - h * 0.3) ** 2) / (2 * 55.0 ** 2))
        col = mix(col, (120, 190, 220), 0.35 * glow)
        for k in range(3):  # soft diagonal light bands
            if abs((x * 0.55 + y) - (110 + k * 90)) < 10:
                col = mix(col, WHITE, 0.05)
        c = disc_shade(x, y, w * 0.5, h * 0.28, w * 0.33)
        if c is not None:
            col = c
        ax = w * 0.5  # an arrow from the disc to the handheld
        if h * 0.47 <= y <= h * 0.555 and abs(x - ax) <= 4.5:
            col = AMBER
        if h * 0.555 <= y <= h * 0.615 and abs(x - ax) <= (h * 0.615 - y) * 1.3:
            col = AMBER
        c = handheld(x, y, w * 0.24, h * 0.645, w * 0.76, h * 0.95, (160, 226, 200))
        if c is not None:
            col = c
        return col
    return bmp_bytes(w, h, supersample(sample, 3))


def panel():
    """dbg.bmp: the content panel, pale with a faint disc in its lower right corner and a
    footer band behind the buttons. Drawn at (180, 20) of the wizard."""
    w, h = PANEL_W, PANEL_H
    footer = FOOTER_TOP - 20

    def sample(x, y):
        if y >= footer:
            return (196, 207, 224) if y < footer + 1 else FOOTER
        col = mix(PANEL_TOP, PANEL_BOTTOM, y / footer)
        d = math.hypot(x - (w + 30), y - (footer + 40))  # a faint watermark of disc rings
        if 120 < d < 250 and int(d / 9) % 2 == 0:
            col = mix(col, (208, 219, 236), 0.35)
        if x < 3:  # a thin amber edge where the panel meets the side column
            col = mix(AMBER, col, x / 3.0)
        return col
    return bmp_bytes(w, h, supersample(sample, 2))


def button(kind, focused):
    """A pill on the footer colour with a white symbol; amber when it has the focus."""
    w, h = BUTTON_W, BUTTON_H
    top, bottom = ((252, 190, 80), AMBER_DARK) if focused else ((52, 86, 150), NAVY)
    cx, cy = w / 2.0, h / 2.0

    def symbol(x, y):
        t2 = 1.6 ** 2
        if kind == "left":
            return seg_dist2(x, y, cx + 3, cy - 6, cx - 4, cy) <= t2 or \
                seg_dist2(x, y, cx - 4, cy, cx + 3, cy + 6) <= t2
        if kind == "right":
            return seg_dist2(x, y, cx - 3, cy - 6, cx + 4, cy) <= t2 or \
                seg_dist2(x, y, cx + 4, cy, cx - 3, cy + 6) <= t2
        if kind == "cancel":
            return seg_dist2(x, y, cx - 5, cy - 5, cx + 5, cy + 5) <= t2 or \
                seg_dist2(x, y, cx - 5, cy + 5, cx + 5, cy - 5) <= t2
        return seg_dist2(x, y, cx - 7, cy, cx - 2, cy + 5) <= t2 or \
            seg_dist2(x, y, cx - 2, cy + 5, cx + 7, cy - 5) <= t2

    def sample(x, y):
        if not inside_round_rect(x, y, 0.5, 0.5, w - 0.5, h - 0.5, h / 2.0 - 0.5):
            return FOOTER
        if not inside_round_rect(x, y, 1.5, 1.5, w - 1.5, h - 1.5, h / 2.0 - 1.5):
            return mix(bottom, (0, 0, 0), 0.25)  # a darker rim
        col = mix(top, bottom, (y - 1.5) / (h - 3))
        if y < h * 0.45:
            col = mix(col, WHITE, 0.12)
        return WHITE if symbol(x, y) else col
    return bmp_bytes(w, h, supersample(sample, 4))


def corner_logo():
    """clogo.bmp at (2, 0): a small amber disc on the caption band."""
    w, h = 34, 20

    def sample(x, y):
        d = math.hypot(x - 17, y - 10)
        if 2.4 < d <= 8.2:
            ang = math.atan2(y - 10, x - 17)
            return mix(AMBER, (255, 226, 150), 0.5 + 0.5 * math.cos(2 * ang - 0.9))
        return NAVY
    return bmp_bytes(w, h, supersample(sample, 4))


def brand():
    """cbrand.bmp at (594 - width, 0): the collection's name in the caption band, with a dot
    for each of the four platforms."""
    cap, stroke = 9.0, 1.5
    label = "HANDHELD COLLECTION"
    tw = text_width(label, cap, stroke, 0.32)
    w, h = int(tw + 58), 20
    text = Lettering(label, 6, 5.5, cap, stroke, 0.32)
    dots = [(tw + 18 + k * 9, 10) for k in range(4)]
    colours = [(120, 200, 120), (110, 170, 240), AMBER, (200, 140, 230)]

    def sample(x, y):
        if text.hit(x, y):
            return (226, 232, 244)
        for (dx, dy), c in zip(dots, colours):
            if math.hypot(x - dx, y - dy) <= 3.2:
                return c
        return NAVY
    return bmp_bytes(w, h, supersample(sample, 4))


def splash():
    """slogo.bmp: only the outline counts. Setup paints the window in the splash colour down to
    row 360 and black below, cut to the pixels that are not pure white. The outline: a card
    with a disc breaking out of its top left corner; the disc's hole, a gap in its rings, the
    word SETUP and the outline of a handheld are cut out of it; the card's lowest 40 rows show
    as a black footer with a loading bar cut out."""
    w, h = 460, 400
    card = (20, 40, w - 1, h - 1)
    dcx, dcy, dr = 96, 112, 92
    word = Lettering("SETUP", 206, 118, 46, 9, 0.3)
    small = Lettering("HANDHELD COLLECTION", 209, 188, 10.5, 2.2, 0.3)

    def solid(x, y):
        d = math.hypot(x - dcx, y - dcy)
        if d <= dr:
            if d < dr * 0.16 or abs(d - dr * 0.42) < 2 or abs(d - dr * 0.78) < 1.5:
                return False  # the hole and two ring gaps
            return True
        if not inside_round_rect(x, y, *card, 26):
            return False
        if abs(d - dr) < 6:  # a gap between disc and card
            return False
        if word.hit(x, y) or small.hit(x, y):
            return False
        # a handheld drawn as a cut-out outline at the lower right
        hx0, hy0, hx1, hy1 = 330, 226, 410, 344
        on_outer = inside_round_rect(x, y, hx0, hy0, hx1, hy1, 10) and \
            not inside_round_rect(x, y, hx0 + 4, hy0 + 4, hx1 - 4, hy1 - 4, 7)
        on_screen = inside_round_rect(x, y, hx0 + 12, hy0 + 14, hx1 - 12, hy0 + 76, 3) and \
            not inside_round_rect(x, y, hx0 + 15, hy0 + 17, hx1 - 15, hy0 + 73, 2)
        on_key = any(abs(math.hypot(x - (hx0 + 20 + k * 20), y - (hy1 - 18)) - 5) < 1.6
                     for k in range(3))
        if on_outer or on_screen or on_key:
            return False
        if 370 <= y < 380 and 60 <= x < 400:  # a loading bar in the black footer
            seg = int((x - 60) // 20)
            return (x - 60) % 20 >= 14 or seg >= 11
        return True

    def pixel(x, y):
        # The colours only help a person who opens the file; Setup uses the outline alone.
        if not solid(x + 0.5, y + 0.5):
            return WHITE
        return SPLASH if y < 360 else (0, 0, 0)
    return bmp_bytes(w, h, pixel)
