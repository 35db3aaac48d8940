#!/usr/bin/env python3
"""Writes the bundled sample disc examples/disc (settings and texts in English and German, the
skin, start-up and licence texts, two products with scripts for all four platforms, loose
package files) and the sources of its packages, examples/packages, with the list that says
how each is packed (scripts/run-sample packs them with setuptool). Pure Python; rewrites both
folders from scratch."""
import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import skin  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
DISC = os.path.join(ROOT, "examples", "disc")
PACKAGES = os.path.join(ROOT, "examples", "packages")

# Every text the program reads by number, and those the scripts reach by reference
# (4, 5, 7, 8, 19, 23: "%04Calendar|Palm" and so on).
TEXTS = {
    0: ["Do you really want to leave Setup?", "Wollen Sie Setup wirklich verlassen?"],
    1: ["Handheld Collection Setup", "Handheld Collection Setup"],
    2: ["I accept the terms of this licence", "Ich nehme die Bedingungen dieser Lizenz an"],
    3: ["Please read the following licence agreement. Tick the box below to accept it.",
        "Bitte lesen Sie den folgenden Lizenzvertrag. Kreuzen Sie unten an, dass Sie ihn annehmen."],
    4: ["Install %s for %s", "%s f\xfcr %s installieren"],
    5: ["The %s edition, version %s.", "Die Ausgabe f\xfcr %s, Version %s."],
    6: ["Setup will now install the following software. Press Next to start or Back to change "
        "your choice.",
        "Setup installiert jetzt die folgende Software. Weiter beginnt, Zur\xfcck \xe4ndert die Auswahl."],
    7: ["Welcome to the %s.", "Willkommen zum %s."],
    8: ["Read the manual of %s", "Handbuch von %s lesen"],
    9: ["Setup has finished. Thank you for choosing the Handheld Collection.",
        "Setup ist fertig. Vielen Dank, dass Sie die Handheld Collection gew\xe4hlt haben."],
    10: ["Register my software on the web now", "Meine Software jetzt im Web registrieren"],
    11: ["Choose the programs that you want to install, then press Next.",
         "W\xe4hlen Sie die Programme, die Sie installieren m\xf6chten, und dann Weiter."],
    12: ["Psion (EPOC)", "Psion (EPOC)"],
    13: ["Nokia 9210 Communicator", "Nokia 9210 Communicator"],
    14: ["Pocket PC", "Pocket PC"],
    15: ["Palm OS handheld", "Palm-OS-Handheld"],
    16: ["Setup found no desktop software for a handheld on this computer.\\nPlease install the "
         "software that came with your handheld, then start Setup again.",
         "Setup hat auf diesem Computer keine Desktop-Software f\xfcr ein Handheld gefunden.\\n"
         "Bitte installieren Sie die Software Ihres Handhelds und starten Sie Setup erneut."],
    17: ["Which handheld do you want to install software on?",
         "Auf welchem Handheld m\xf6chten Sie Software installieren?"],
    18: ["This disc holds several products for your handheld. Which one do you want to set up?",
         "Diese CD enth\xe4lt mehrere Produkte f\xfcr Ihr Handheld. Welches m\xf6chten Sie einrichten?"],
    19: ["Visit %s on the web", "%s im Web besuchen"],
    20: ["None of the handhelds whose desktop software is installed on this computer is served "
         "by this disc.",
         "Keines der Handhelds, deren Desktop-Software installiert ist, wird von dieser CD bedient."],
    21: ["Also in the same package, installed with it:", "Ebenfalls im selben Paket und mit installiert:"],
    22: ["%s could not be installed.", "%s konnte nicht installiert werden."],
    23: ["Leave Setup", "Setup verlassen"],
    24: ["Reading the menus...", "Die Men\xfcs werden gelesen..."],
    25: ["Please choose your language.", "Bitte w\xe4hlen Sie Ihre Sprache."],
}

LICENCE = [
    "HANDHELD COLLECTION - LICENCE AGREEMENT\n\n"
    "This is the sample disc of Setup. It shows how a disc presents a collection of programs "
    "for four kinds of handheld.\n\n"
    "1. You may install the programs on this disc on any number of your own handhelds.\n"
    "2. The programs are demonstrations. They come without any warranty.\n"
    "3. Nothing on this disc is sent anywhere unless you ask for it: the registration page "
    "opens only when you tick its box on the last page.\n",
    "HANDHELD COLLECTION - LIZENZVERTRAG\n\n"
    "Dies ist die Beispiel-CD von Setup. Sie zeigt, wie eine CD eine Sammlung von Programmen "
    "f\xfcr vier Arten von Handhelds vorstellt.\n\n"
    "1. Sie d\xfcrfen die Programme dieser CD auf beliebig vielen eigenen Handhelds installieren.\n"
    "2. Die Programme sind Vorf\xfchrungen. Sie kommen ohne jede Gew\xe4hrleistung.\n"
    "3. Nichts auf dieser CD wird ohne Ihren Wunsch gesendet: Die Registrierungsseite \xf6ffnet "
    "sich nur, wenn Sie ihr K\xe4stchen auf der letzten Seite ankreuzen.\n",
]

# The type-ahead of the long lists finds a label by a binary search over labels folded like
# this (accents to their letter, apostrophe and hyphen to a space), so the lists are sorted so.
FOLD = {"\xe1": "a", "\xe3": "a", "\xe9": "e", "\xf4": "o", "\xf8": "o", "\xfc": "u", "'": " ", "-": " "}


def folded(label):
    return "".join(FOLD.get(ch, ch) for ch in label.lower())


CITIES = ["Amsterdam", "Berlin", "Bogot\xe1", "Buenos Aires", "Cape Town", "Helsinki",
          "Hong Kong", "K\xf8benhavn", "London", "Madrid", "New York", "Paris", "S\xe3o Paulo",
          "Sydney", "Tokyo", "Z\xfcrich"]
COUNTRIES = ["Argentina", "Australia", "Austria", "Belgium", "Brazil", "Canada",
             "C\xf4te d'Ivoire", "Denmark", "Finland", "France", "Germany", "Greece", "Ireland",
             "Italy", "Japan", "Mexico", "Netherlands", "New Zealand", "Norway", "Poland",
             "Portugal", "Spain", "Sweden", "Switzerland", "United Kingdom", "United States"]


def slug(name):
    return "".join(FOLD.get(ch, ch) for ch in name.lower()).replace(" ", "_")


def options(keyword, labels, targets):
    return "".join("%s\n%s\n%s\n" % (keyword, label, target) for label, target in zip(labels, targets))


ORGANIZER_PALM = """PALM
7
Organizer Suite
Version 2.1 for Palm
http://example.com/register/organizer
; The five lines above: platform, number of menus, product name, version (the side text;
; the summary page shows it as written, so it holds no text reference) and the address of
; the registration page.
SETUPREQUIRED 1.50
; English starts at menu 0, German at menu 1.
MENU_FOR_LANGUAGE 0 0
MENU_FOR_LANGUAGE 1 1

MENU 0 6 RADIOBUTTONS
TITLE
Organizer Suite
*
TOPTEXT
Welcome to the Organizer Suite for Palm handhelds. What would you like to do?
*
BOTTOMTEXT
A complete installation needs about 400 KB on your handheld.
*
AUTOMENUOPTION
Complete installation (all programs)
3
MENUOPTION
Custom installation (choose the programs)
2
MENUOPTION
Extras: world clock, public holidays, web site
4
HTMLOPTION
Read the introduction
intro.html
EXEOPTION
Take the guided tour
tour.exe
copyright tour_licence.txt
QUIT
%023

MENU 1 6 RADIOBUTTONS
TITLE
Organizer Suite
*
TOPTEXT
Willkommen zur Organizer Suite f\xfcr Palm-Handhelds. Was m\xf6chten Sie tun?
*
BOTTOMTEXT
Eine vollst\xe4ndige Installation braucht etwa 400 KB auf Ihrem Handheld.
*
AUTOMENUOPTION
Vollst\xe4ndige Installation (alle Programme)
3
MENUOPTION
Benutzerdefinierte Installation (Programme w\xe4hlen)
2
MENUOPTION
Extras: Weltzeituhr, Feiertage, Website
4
HTMLOPTION
Einf\xfchrung lesen
intro.html
EXEOPTION
Rundgang starten
tour.exe
copyright tour_licence.txt
QUIT
%023

; A check list: every marked option is carried out when the user presses Next. Two options
; install from the same package, so the summary lists the second under text 21.
MENU 2 5 LIST
TOPTEXT
%011
*
BOTTOMTEXT
Calendar and Calendar with week numbers share one package.
*
I
%04Calendar|Palm
calendar
I
%04Calendar with week numbers|Palm
calendar
I
%04Address Book|Palm
contacts
I
%04Notes|Palm
notes
I
%04Expenses|Palm
expenses

; Reached only through the AUTOMENUOPTION of the start menu: it is not shown, every option is
; marked and goes straight to the summary.
MENU 3 4 LIST
I
%04Calendar|Palm
calendar
I
%04Address Book|Palm
contacts
I
%04Notes|Palm
notes
I
%04Expenses|Palm
expenses

; The remaining menus are in a second file.
SWITCHTO PALM_extras.mnu
"""

ORGANIZER_PALM_EXTRAS = """; The second file of Organizer\\PALM.mnu, reached by its SWITCHTO line: no header here,
; just more menus and the END line.
MENU 4 4 RADIOBUTTONS
TOPTEXT
More for your organizer.
*
MENUOPTION
World clock: choose your home city
5
MENUOPTION
Public holidays for the calendar
6
HTMLOPTION
%019Organizer Suite
http://example.com/organizer
HTMLOPTION
What is new in version 2.1
whatsnew.html

; Sixteen or more options make a list: typing the first letters of a city jumps to it.
MENU 5 {ncities} RADIOBUTTONS clock
TOPTEXT
Choose your home city. The world clock starts with its time zone.
*
{cities}
; Twenty or more options make a multiple-choice list. These packages are folders of loose
; files in holidays\\, not .APK packages.
MENU 6 {ncountries} LIST holidays
TOPTEXT
Choose the countries whose public holidays your calendar should show (Ctrl+click for more).
*
{countries}END
"""

ORGANIZER_POCKETPC = """POCKETPC
2
Organizer Suite
Version 2.1 for Pocket PC
http://example.com/register/organizer
SETUPREQUIRED 1.60
MENU 0 4 RADIOBUTTONS
TITLE
Organizer Suite
*
TOPTEXT
Welcome to the Organizer Suite for Pocket PC.
*
MENUOPTION
Install programs
1
HTMLOPTION
Read the introduction
intro.html
HTMLOPTION
%019Organizer Suite
http://example.com/organizer
QUIT
%023
MENU 1 3 LIST
TOPTEXT
%011
*
INSTALLOPTION
%04Calendar|Pocket PC
calendar
INSTALLOPTION
%04Address Book|Pocket PC
contacts
INSTALLOPTION
%04Notes|Pocket PC
notes
END
"""

GAMES_EPOC = """EPOC
2
Games Pack
Version 1.0 for Psion
http://example.com/register/games
MENU 0 4 RADIOBUTTONS
TITLE
Games Pack
*
TOPTEXT
%07Games Pack
*
MENUOPTION
Install games
1
HTMLOPTION
%08Chess
chess.html
EXEOPTION
Play the chess demo on this computer
demo.exe
copyright demo_licence.txt
QUIT
%023
MENU 1 3 LIST
TOPTEXT
%011
*
BOTTOMTEXT
Chess is a loose .sis file on the disc, the other two are packages.
*
I
%04Chess|Psion
chess
I
%04Backgammon|Psion
backgammon
I
%04Solitaire|Psion
solitaire
END
"""

GAMES_N9210 = """N9210
1
Games Pack
Version 1.0 for Nokia 9210
http://example.com/register/games
MENU 0 2 LIST
TITLE
Games Pack
*
TOPTEXT
Two classic games for your Communicator.
*
I
%04Chess|Nokia 9210
chess
I
%04Solitaire|Nokia 9210
solitaire
END
"""

GAMES_PALM = """PALM
1
Games Pack
Version 1.0 for Palm
-
; A registration address of "-" leaves out the closing page.
MENU 0 2 LIST
TITLE
Games Pack
*
TOPTEXT
Two classic games for your Palm handheld.
*
BOTTOMTEXT
%05Palm|1.0
*
I
%04Chess|Palm
chess
I
%04Solitaire|Palm
solitaire
END
"""


def scripts():
    cities = options("I", CITIES, [slug(c) for c in CITIES])
    countries = options("I", COUNTRIES, [slug(c) for c in COUNTRIES])
    extras = ORGANIZER_PALM_EXTRAS.format(ncities=len(CITIES), cities=cities,
                                          ncountries=len(COUNTRIES), countries=countries)
    return {
        "Organizer/PALM.mnu": ORGANIZER_PALM,
        "Organizer/PALM_extras.mnu": extras,
        "Organizer/POCKETPC.mnu": ORGANIZER_POCKETPC,
        "Games/EPOC.mnu": GAMES_EPOC,
        "Games/N9210.mnu": GAMES_N9210,
        "Games/PALM.mnu": GAMES_PALM,
    }


def page(title, body):
    return ("<html><head><title>%s</title></head><body style=\"font-family: Arial\">\n"
            "<h1>%s</h1>\n%s\n</body></html>\n" % (title, title, body))


DOCUMENTS = {
    "Organizer/PALM/intro.html": page("Organizer Suite", "<p>Calendar, address book, notes and "
                                      "expenses for your Palm handheld.</p>"),
    "Organizer/PALM/whatsnew.html": page("What is new in 2.1", "<ul><li>Week numbers in the "
                                         "calendar</li><li>A world clock</li></ul>"),
    "Organizer/PALM/tour_licence.txt": "GUIDED TOUR\n\nThe tour runs on this computer and shows "
                                       "the Organizer Suite in ten minutes. It is free to use.\n",
    "Organizer/POCKETPC/intro.html": page("Organizer Suite", "<p>Calendar, address book and notes "
                                          "for your Pocket PC.</p>"),
    "Games/EPOC/chess.html": page("Chess", "<p>Move with the arrow keys, Enter picks up and "
                                  "puts down a piece.</p>"),
    "Games/EPOC/demo_licence.txt": "CHESS DEMO\n\nThe demo plays one game against you on this "
                                   "computer. It is free to use and to pass on.\n",
}


def fake_data(name, size):
    """Stable bytes that stand for a program or database of the given size."""
    head = ("%s - sample data of the Handheld Collection\n" % name).encode("latin-1")
    seed = sum(map(ord, name))
    body = bytes((seed + i * 7 + (i >> 5)) & 0xFF for i in range(max(0, size - len(head))))
    return head + body


# Package sources: folder under examples/packages -> (how it is packed, {file: size}).
# Where each installer looks in an unpacked package: Palm in palm\, the Nokia 9210 in
# n9210\*.sis, EPOC in *.sis, Pocket PC in *.ini.
def package_sources():
    packages = {
        "Organizer/PALM/calendar": ("compressed", {"palm/calendar.prc": 9000, "palm/calendar.pdb": 2400,
                                                   "readme.txt": 300}),
        "Organizer/PALM/contacts": ("compressed", {"palm/contacts.prc": 7000}),
        "Organizer/PALM/notes": ("plain", {"palm/notes.prc": 3000}),
        "Organizer/PALM/expenses": ("plain", {"palm/expenses.prc": 5000, "palm/currency.pdb": 800}),
        "Organizer/POCKETPC/calendar": ("compressed", {"calendar.ini": 120, "calendar.cab": 9000}),
        "Organizer/POCKETPC/contacts": ("compressed", {"contacts.ini": 120, "contacts.cab": 7000}),
        "Organizer/POCKETPC/notes": ("plain", {"notes.ini": 110, "notes.cab": 3000}),
        "Games/EPOC/backgammon": ("compressed", {"backgammon.sis": 6000}),
        "Games/EPOC/solitaire": ("plain", {"solitaire.sis": 4000}),
        "Games/N9210/chess": ("compressed", {"n9210/chess.sis": 6500}),
        "Games/N9210/solitaire": ("plain", {"n9210/solitaire.sis": 4200}),
        "Games/PALM/chess": ("compressed", {"palm/chess.prc": 6000}),
        "Games/PALM/solitaire": ("plain", {"palm/solitaire.prc": 4000}),
    }
    for city in CITIES:
        packages["Organizer/clock/" + slug(city)] = ("plain", {"palm/clock_%s.pdb" % slug(city): 200})
    return packages


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def dos(text):
    return text.replace("\n", "\r\n").encode("latin-1")


def settings():
    lines = ["; The settings of the sample disc. Setup reads them with the Windows profile",
             "; functions: one section per language, text0, text1 ... and file0 ... in each.",
             "[Language]", "lang0=English", "lang1=Deutsch", "defaultlanguage=0", "",
             "[Colours]"]
    lines += ["splash%s=%d" % (c, v) for c, v in zip("RGB", skin.SPLASH)]
    lines += ["caption%s=%d" % (c, v) for c, v in zip("RGB", skin.NAVY)] + [""]
    for lang in range(2):
        lines.append("[lang%d]" % lang)
        lines += ["text%d=%s" % (n, TEXTS[n][lang]) for n in sorted(TEXTS)]
        lines += ["file0=licence%d.txt" % lang, ""]
    return dos("\n".join(lines))


def main():
    for names in (CITIES, COUNTRIES):
        assert [folded(n) for n in names] == sorted(folded(n) for n in names), names
    for folder in (DISC, PACKAGES):
        if os.path.isdir(folder):
            shutil.rmtree(folder)
    rsc = os.path.join(DISC, "rsc")
    write(os.path.join(rsc, "rscinfo.ini"), settings())
    for lang, text in enumerate(LICENCE):
        write(os.path.join(rsc, "licence%d.txt" % lang), dos(text))
    for kind, name in (("cancel", "bcancel"), ("left", "bleft"), ("right", "bright"), ("finish", "bfinish")):
        write(os.path.join(rsc, name + ".bmp"), skin.button(kind, False))
        write(os.path.join(rsc, name + "f.bmp"), skin.button(kind, True))
    write(os.path.join(rsc, "dbg.bmp"), skin.panel())
    write(os.path.join(rsc, "bar.bmp"), skin.bar())
    write(os.path.join(rsc, "cbrand.bmp"), skin.brand())
    write(os.path.join(rsc, "clogo.bmp"), skin.corner_logo())
    write(os.path.join(rsc, "slogo.bmp"), skin.splash())
    for name, text in scripts().items():
        write(os.path.join(DISC, name), dos(text))
    for name, text in DOCUMENTS.items():
        write(os.path.join(DISC, name), dos(text))
    # Loose package files: an EPOC .sis next to the script's package folder, and the Palm
    # holiday folders (a Palm option without a package installs every file of its folder).
    write(os.path.join(DISC, "Games", "EPOC", "chess.sis"), fake_data("chess.sis", 5000))
    for country in COUNTRIES:
        name = "holidays_%s.pdb" % slug(country)
        write(os.path.join(DISC, "Organizer", "holidays", slug(country), name), fake_data(name, 300))
    listing = ["# Packages of the sample disc: how scripts/run-sample packs each folder with",
               "# setuptool pack (compressed: --compress) into <folder>.APK on the disc."]
    for folder, (form, files) in sorted(package_sources().items()):
        listing.append("%s %s" % (form, folder))
        for name, size in files.items():
            write(os.path.join(PACKAGES, folder, name), fake_data(name, size))
    write(os.path.join(PACKAGES, "packages.list"), ("\n".join(listing) + "\n").encode())


if __name__ == "__main__":
    main()
