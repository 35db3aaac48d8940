#!/usr/bin/env python3
"""Writes the bundled sample disc examples/disc: its settings in two languages, the skin
bitmaps, licence texts, two product folders with a script per platform, and the source
files of its packages (examples/packages; scripts/run-sample packs them). Pure Python."""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skin"))
from make_bitmaps import ROOT, bmp_bytes, clamp, mix, rounded_box  # noqa: E402

DISC = os.path.join(ROOT, "examples", "disc")
PACKAGES = os.path.join(ROOT, "examples", "packages")

TEXTS = {
    0: ["Do you really want to quit Setup?", "Wollen Sie Setup wirklich beenden?"],
    1: ["Handheld Collection Setup", "Handheld-Sammlung Setup"],
    2: ["I accept the licence agreement", "Ich akzeptiere den Lizenzvertrag"],
    3: ["Please read the licence agreement.", "Bitte lesen Sie den Lizenzvertrag."],
    4: ["Install %s for %s", "%s f\xfcr %s installieren"],
    5: ["Version %s", "Version %s"],
    6: ["The following software will be installed:", "Folgende Software wird installiert:"],
    7: ["Welcome", "Willkommen"],
    8: ["Documentation", "Dokumentation"],
    9: ["Setup has finished.", "Setup ist fertig."],
    10: ["Register my software on the web", "Meine Software im Web registrieren"],
    11: ["Products", "Produkte"],
    12: ["Psion / EPOC", "Psion / EPOC"],
    13: ["Nokia 9210", "Nokia 9210"],
    14: ["Pocket PC", "Pocket PC"],
    15: ["Palm", "Palm"],
    16: ["No desktop software for your handheld was found.\\nPlease install it first.",
         "Es wurde keine Desktop-Software f\xfcr Ihr Handheld gefunden.\\nBitte installieren Sie sie zuerst."],
    17: ["Which handheld do you use?", "Welches Handheld benutzen Sie?"],
    18: ["Please choose a product.", "Bitte w\xe4hlen Sie ein Produkt."],
    19: ["Extras", "Extras"],
    20: ["None of your handhelds is served by this disc.", "Keines Ihrer Handhelds wird von dieser CD bedient."],
    21: ["Also installed from the same package:", "Ebenfalls aus demselben Paket installiert:"],
    22: ["%s could not be installed.", "%s konnte nicht installiert werden."],
    23: ["Start", "Start"],
    24: ["Reading the menus...", "Men\xfcs werden gelesen..."],
    25: ["Please choose your language.", "Bitte w\xe4hlen Sie Ihre Sprache."],
}

LICENCE = [
    "SAMPLE LICENCE AGREEMENT\n\nThis sample disc shows how Setup presents a product collection.\n"
    "The programs on it are demonstrations and come without any warranty.\n",
    "BEISPIEL-LIZENZVERTRAG\n\nDiese Beispiel-CD zeigt, wie Setup eine Produktsammlung vorstellt.\n"
    "Die Programme sind Vorf\xfchrungen und kommen ohne jede Gew\xe4hrleistung.\n",
]


def settings():
    lines = ["[Language]", "lang0=English", "lang1=Deutsch", "defaultlanguage=0", "",
             "[Colours]", "splashR=16", "splashG=40", "splashB=96",
             "captionR=255", "captionG=255", "captionB=255", ""]
    for lang in range(2):
        lines.append("[lang%d]" % lang)
        for n in sorted(TEXTS):
            lines.append("text%d=%s" % (n, TEXTS[n][lang]))
        lines.append("file0=licence%d.txt" % lang)
        lines.append("")
    return "\r\n".join(lines).encode("latin-1")


def button(w, h, kind, focused):
    base = (30, 90, 170) if not focused else (240, 170, 40)

    def pixel(x, y):
        if not rounded_box(x, y, 1, 1, w - 2, h - 2, 8):
            return (255, 0, 255)  # outside the button
        col = mix(tuple(min(255, c + 60) for c in base), base, y / h)
        cx, cy = w / 2, h / 2
        dx, dy = x - cx, y - cy
        white = False
        if kind == "left":
            white = -9 <= dx <= 9 and abs(dy) <= (dx + 9) * 0.6
        elif kind == "right":
            white = -9 <= dx <= 9 and abs(dy) <= (9 - dx) * 0.6
        elif kind == "cancel":
            white = abs(abs(dx) - abs(dy)) <= 1.6 and abs(dx) <= 7
        elif kind == "finish":
            white = (dx <= -1 and abs(dy - (dx + 6) * 0.9 - 1) <= 1.6 and dx >= -7) or \
                    (dx >= -1 and abs(dy + dx * 1.1 - 4) <= 1.6 and dx <= 8)
        return (250, 250, 250) if white else clamp(col)

    return bmp_bytes(w, h, pixel)


def gradient(w, h, top, bottom, glow=0.0):
    def pixel(x, y):
        col = mix(top, bottom, y / max(1, h - 1))
        return clamp(mix(col, (255, 255, 255), glow * (0.5 + 0.5 * math.sin(x / 23.0 + y / 41.0))))

    return bmp_bytes(w, h, pixel)


def logo(w, h):
    def pixel(x, y):
        d = math.hypot(x - h / 2, y - h / 2)
        if d <= h / 2 - 2:
            return clamp(mix((250, 200, 60), (230, 120, 30), d / (h / 2)))
        return clamp(mix((20, 50, 110), (14, 90, 130), x / w))

    return bmp_bytes(w, h, pixel)


def splash(w, h):
    # A rounded card on magenta: the region of the splash window follows the card.
    def pixel(x, y):
        if not rounded_box(x, y, 0, 0, w - 1, h - 1, 24):
            return (255, 0, 255)
        col = mix((16, 40, 96), (10, 120, 140), y / h)
        d = math.hypot(x - w * 0.25, y - h * 0.5)
        if d <= h * 0.3:
            col = mix((245, 248, 255), (150, 170, 200), d / (h * 0.3))
        return clamp(col)

    return bmp_bytes(w, h, pixel)


SCRIPTS = {
    ("Organizer", "PALM"): """PALM
2
Organizer Suite
Version 2.1
http://example.com/register/organizer
; The start menu of every language is menu 0.
MENU_FOR_LANGUAGE 0 0
MENU_FOR_LANGUAGE 1 0
MENU 0 3 RADIOBUTTONS
TITLE
Organizer Suite
*
TOPTEXT
Welcome to the Organizer Suite for Palm handhelds.
*
MENUOPTION
Install programs
1
HTMLOPTION
Read the introduction
intro.htm
QUIT
Leave
MENU 1 2 LIST
TOPTEXT
Choose the programs to install.
*
I
%04Calendar|Palm
calendar
I
%04Notes|Palm
notes
END
""",
    ("Organizer", "POCKETPC"): """POCKETPC
1
Organizer Suite
Version 2.1
http://example.com/register/organizer
MENU 0 2 LIST
TOPTEXT
Choose the programs to install.
*
INSTALLOPTION
%04Calendar|Pocket PC
calendar
INSTALLOPTION
%04Notes|Pocket PC
notes
END
""",
    ("Games", "EPOC"): """EPOC
1
Games Pack
Version 1.0
http://example.com/register/games
MENU 0 2 LIST
TOPTEXT
Games for your Psion.
*
I
Chess
chess
EXEOPTION
Read the manual
manual.exe
copyright manual.txt
END
""",
    ("Games", "N9210"): """N9210
1
Games Pack
Version 1.0
http://example.com/register/games
MENU 0 1 LIST
I
Chess
chess
END
""",
}

# Each platform's installer takes its files from its own place in the unpacked package:
# Palm from palm\, the Nokia 9210 from n9210\*.sis, EPOC from *.sis, Pocket PC from *.ini.
PACKAGE_FILES = {
    "Organizer/PALM/calendar": {"palm/calendar.prc": 4096, "palm/calendar.pdb": 1500, "readme.txt": 300},
    "Organizer/PALM/notes": {"palm/notes.prc": 2048},
    "Organizer/POCKETPC/calendar": {"calendar.ini": 120, "calendar.cab": 8000},
    "Organizer/POCKETPC/notes": {"notes.ini": 110, "notes.cab": 3000},
    "Games/EPOC/chess": {"chess.sis": 6000},
    "Games/N9210/chess": {"n9210/chess.sis": 6000},
}


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    rsc = os.path.join(DISC, "rsc")
    write(os.path.join(rsc, "rscinfo.ini"), settings())
    for lang, text in enumerate(LICENCE):
        write(os.path.join(rsc, "licence%d.txt" % lang), text.replace("\n", "\r\n").encode("latin-1"))
    for kind, name in (("cancel", "bcancel"), ("left", "bleft"), ("right", "bright"), ("finish", "bfinish")):
        write(os.path.join(rsc, name + ".bmp"), button(80, 28, kind, False))
        write(os.path.join(rsc, name + "f.bmp"), button(80, 28, kind, True))
    write(os.path.join(rsc, "cbrand.bmp"), gradient(440, 48, (20, 50, 110), (14, 90, 130), 0.05))
    write(os.path.join(rsc, "clogo.bmp"), logo(160, 48))
    write(os.path.join(rsc, "dbg.bmp"), gradient(64, 64, (236, 240, 246), (214, 222, 234)))
    write(os.path.join(rsc, "slogo.bmp"), splash(320, 200))
    # bar.bmp is left out on purpose: the built-in side picture is used.
    for (folder, platform), text in SCRIPTS.items():
        write(os.path.join(DISC, folder, platform + ".mnu"), text.replace("\n", "\r\n").encode("latin-1"))
    write(os.path.join(DISC, "Organizer", "intro.htm"),
          b"<html><body><h1>Organizer Suite</h1><p>Calendar and notes for your handheld.</p></body></html>\r\n")
    write(os.path.join(DISC, "Games", "manual.txt"), b"Chess manual licence: free to read.\r\n")
    for base, files in PACKAGE_FILES.items():
        for name, size in files.items():
            seed = sum(map(ord, base + name))
            data = bytes((seed + i * 7 + (i >> 5)) & 0xFF for i in range(size))
            write(os.path.join(PACKAGES, base, name), data)


if __name__ == "__main__":
    main()
