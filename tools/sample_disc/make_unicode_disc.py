#!/usr/bin/env python3
"""Writes the eight-language test disc tests/data/unicode_disc and its ANSI twin
tests/data/unicode_disc_ansi: the same files without byte-order marks, every character
written in Windows-1252 or as "?" where that code page has none (what an ANSI disc of these
texts holds). The skin is not written: the tests copy the sample disc's bitmaps.

The Unicode disc holds files of every kind: rsc\\rscinfo.ini is UTF-16LE with a mark and
rsc\\rscinfo-utf8.ini the same settings in UTF-8 with a mark (the tests swap it in); the
licence files are ANSI (English, French), UTF-8 or UTF-16LE; Atlas\\EPOC.mnu is UTF-8,
Atlas\\PALM.mnu UTF-16LE and Extras\\EPOC.mnu ANSI. Pure Python; rewrites both folders."""
import os
import shutil
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DISC = os.path.join(ROOT, "tests", "data", "unicode_disc")
TWIN = os.path.join(ROOT, "tests", "data", "unicode_disc_ansi")

LANGUAGES = ["English", "Français", "Polski", "Русский", "Ελληνικά", "Türkçe", "日本語", "中文"]

# Per language: caption (1), quit question (0), accept (2), licence heading (3), summary (6),
# closing (9), registration (10), check list (11), platform question (17), product question
# (18), also in the package (21), leave (23), language question (25).
TEXTS = [
    ["Atlas Setup", "Do you really want to leave Setup?", "I accept the licence",
     "Please read the licence.", "Setup will install:", "Setup has finished.",
     "Register my software", "Choose the maps to install.", "Which handheld?",
     "Which product?", "Also in the same package:", "Leave Setup", "Please choose your language."],
    ["Installation d'Atlas", "Voulez-vous vraiment quitter ?", "J'accepte la licence",
     "Veuillez lire la licence.", "Setup va installer :", "L'installation est terminée.",
     "Enregistrer mon logiciel", "Choisissez les cartes à installer.", "Quel appareil ?",
     "Quel produit ?", "Aussi dans le même paquet :", "Quitter", "Choisissez votre langue."],
    ["Instalacja Atlasu", "Czy na pewno zakończyć instalację?", "Akceptuję licencję",
     "Proszę przeczytać licencję.", "Zostaną zainstalowane:", "Instalacja zakończona.",
     "Zarejestruj oprogramowanie", "Wybierz mapy do zainstalowania.", "Które urządzenie?",
     "Który produkt?", "Również w tym samym pakiecie:", "Zakończ", "Wybierz swój język."],
    ["Установка Атласа", "Вы действительно хотите выйти?", "Я принимаю лицензию",
     "Прочитайте лицензию.", "Будут установлены:", "Установка завершена.",
     "Зарегистрировать программы", "Выберите карты для установки.", "Какое устройство?",
     "Какой продукт?", "В том же пакете:", "Выйти", "Выберите язык."],
    ["Εγκατάσταση του Άτλαντα", "Θέλετε σίγουρα να βγείτε;", "Αποδέχομαι την άδεια",
     "Διαβάστε την άδεια χρήσης.", "Θα εγκατασταθούν:", "Η εγκατάσταση ολοκληρώθηκε.",
     "Καταχώριση του λογισμικού", "Επιλέξτε χάρτες για εγκατάσταση.", "Ποια συσκευή;",
     "Ποιο προϊόν;", "Στο ίδιο πακέτο επίσης:", "Έξοδος", "Επιλέξτε τη γλώσσα σας."],
    ["Atlas Kurulumu", "Kurulumdan çıkmak istiyor musunuz?", "Lisansı kabul ediyorum",
     "Lütfen lisansı okuyun.", "Kurulacak olanlar:", "Kurulum tamamlandı.",
     "Yazılımımı kaydet", "Kurulacak haritaları seçin.", "Hangi cihaz?", "Hangi ürün?",
     "Aynı pakette ayrıca:", "Çıkış", "Dilinizi seçin."],
    ["アトラスのセットアップ", "セットアップを終了しますか?", "ライセンスに同意します",
     "ライセンスをお読みください。", "次をインストールします:", "セットアップが完了しました。",
     "ソフトウェアを登録する", "インストールする地図を選んでください。", "どの端末ですか?",
     "どの製品ですか?", "同じパッケージに含まれるもの:", "終了", "言語を選んでください。"],
    ["地图集安装", "确实要退出安装吗?", "我接受许可协议", "请阅读许可协议。", "将要安装:",
     "安装已完成。", "注册我的软件", "请选择要安装的地图。", "哪个设备?", "哪个产品?",
     "同一软件包中还有:", "退出", "请选择您的语言。"],
]
TEXT_NUMBERS = [1, 0, 2, 3, 6, 9, 10, 11, 17, 18, 21, 23, 25]
# The other texts, the same in every language. A language counts only with its own text
# number present, and a text list ends at its first gap: every number up to 25 is there.
COMMON_TEXTS = {4: "Install %s for %s", 5: "The %s edition, version %s.", 7: "Welcome to the %s.",
                8: "Read the manual of %s", 12: "Psion · EPOC", 13: "Nokia 9210",
                14: "Pocket PC", 15: "Palm OS",
                16: "No desktop software for any handheld was found.",
                19: "Visit %s on the web", 20: "No handheld of this computer is served.",
                22: "%s could not be installed.", 24: "Reading the menus..."}

# The menus of Atlas\EPOC.mnu per language: the start menu's top text and its labels
# (install, the city list, the guide), the maps of the check list.
MENUS = [
    ("Welcome to Atlas.", "Install maps", "Choose a city", "Read the guide",
     ["World map", "City maps"]),
    ("Bienvenue dans Atlas.", "Installer des cartes", "Choisir une ville", "Lire le guide",
     ["Carte du monde", "Plans de villes"]),
    ("Witamy w Atlasie.", "Zainstaluj mapy", "Wybierz miasto", "Przeczytaj przewodnik",
     ["Mapa świata", "Plany miast"]),
    ("Добро пожаловать в Атлас.", "Установить карты", "Выбрать город", "Прочитать руководство",
     ["Карта мира", "Планы городов"]),
    ("Καλώς ήρθατε στον Άτλαντα.", "Εγκατάσταση χαρτών", "Επιλογή πόλης", "Ανάγνωση οδηγού",
     ["Παγκόσμιος χάρτης", "Χάρτες πόλεων"]),
    ("Atlas'a hoş geldiniz.", "Haritaları kur", "Şehir seç", "Kılavuzu oku",
     ["Dünya haritası", "Şehir planları"]),
    ("アトラスへようこそ。", "地図をインストール", "都市を選ぶ", "ガイドを読む",
     ["世界地図", "市街地図"]),
    ("欢迎使用地图集。", "安装地图", "选择城市", "阅读指南", ["世界地图", "城市地图"]),
]

# The list of sixteen cities (a list page with type-ahead), sorted as the search folds them.
CITIES = ["Ankara", "Århus", "Gdańsk", "Kraków", "Montréal", "Zürich", "Αθήνα", "Θεσσαλονίκη",
          "Πάτρα", "Ωμέγα", "Москва", "Санкт-Петербург", "Ярославль", "北京", "大阪", "東京"]
GUIDE = "Руководство.html"          # the document with a Cyrillic name
WORLD = "карта_мира"                # a loose .sis package named in Cyrillic
CITY_PACKAGE = "plány_měst"         # an .APK package the tests pack (entries stay ASCII)


def folded(label):
    text = unicodedata.normalize("NFD", label.lower().replace("'", " ").replace("-", " "))
    return "".join(c for c in text if not unicodedata.combining(c))


def atlas_epoc():
    # Per language n: its start menu 2n and its check list 2n + 1; then the city list.
    cities = 2 * len(LANGUAGES)
    lines = ["EPOC", str(cities + 1), "Атлас · Atlas", "2.0", "http://example.com/register/atlas"]
    lines += ["MENU_FOR_LANGUAGE %d %d" % (n, 2 * n) for n in range(len(LANGUAGES))]
    for n, (top, install, city, guide, maps) in enumerate(MENUS):
        lines += ["MENU %d 4 RADIOBUTTONS" % (2 * n), "TITLE", LANGUAGES[n], "*", "TOPTEXT",
                  top, "*", "MENUOPTION", install, str(2 * n + 1), "MENUOPTION", city,
                  str(cities), "HTMLOPTION", guide, GUIDE, "QUIT", "%023"]
        lines += ["MENU %d 2 LIST" % (2 * n + 1), "TOPTEXT", "%011", "*", "I", maps[0], WORLD,
                  "I", maps[1], CITY_PACKAGE]
    lines += ["MENU %d %d RADIOBUTTONS" % (cities, len(CITIES)), "TOPTEXT", "Städte · Πόλεις · Города",
              "*"]
    for c in CITIES:
        lines += ["MENUOPTION", c, str(cities)]
    return lines + ["END"]


def simple_script(platform, product, top, label, document):
    return [platform, "1", product, "1.0", "-", "MENU 0 2 RADIOBUTTONS", "TOPTEXT", top, "*",
            "HTMLOPTION", label, document, "QUIT", "%023", "END"]


def settings():
    lines = ["[Language]"] + ["lang%d=%s" % (n, name) for n, name in enumerate(LANGUAGES)]
    lines += ["defaultlanguage=0", "", "[Colours]", "splashR=240", "splashG=240", "splashB=240",
              "captionR=0", "captionG=0", "captionB=128", ""]
    for n, texts in enumerate(TEXTS):
        lines.append("[lang%d]" % n)
        numbered = {**COMMON_TEXTS, **dict(zip(TEXT_NUMBERS, texts))}
        lines += ["text%d=%s" % (k, numbered[k]) for k in sorted(numbered)]
        lines += ["file0=licence%d.txt" % n, ""]
    return lines


def licence(n):
    return "%s\n\n%s — Atlas 2.0\n" % (TEXTS[n][3], LANGUAGES[n])


def encode(lines, kind):
    text = "\r\n".join(lines) + "\r\n"
    if kind == "utf-16":
        return b"\xff\xfe" + text.encode("utf-16-le")
    if kind == "utf-8":
        return b"\xef\xbb\xbf" + text.encode("utf-8")
    return text.encode("cp1252", errors="replace")


def write(folder, name, data):
    path = os.path.join(folder, *name.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def files():
    """Name -> (lines, kind on the Unicode disc)."""
    out = {
        "rsc/rscinfo.ini": (settings(), "utf-16"),
        "rsc/rscinfo-utf8.ini": (settings(), "utf-8"),
        "Atlas/EPOC.mnu": (atlas_epoc(), "utf-8"),
        "Atlas/PALM.mnu": (simple_script("PALM", "Атлас для Palm", "Ελληνικά · 日本語 · 中文",
                                         "Руководство", GUIDE), "utf-16"),
        "Extras/EPOC.mnu": (simple_script("EPOC", "Extras", "Extras for Atlas.", "Read the guide",
                                          "guide.html"), "ansi"),
        "Atlas/EPOC/" + GUIDE: (["<html><body>Руководство</body></html>"], "utf-8"),
        "Atlas/PALM/" + GUIDE: (["<html><body>Руководство</body></html>"], "utf-8"),
        "Extras/EPOC/guide.html": (["<html><body>Guide</body></html>"], "ansi"),
        "Atlas/EPOC/%s.sis" % WORLD: (["world map for the Psion"], "ansi"),
    }
    for n in range(len(LANGUAGES)):
        # ANSI only where the code page holds the language (English, French).
        out["rsc/licence%d.txt" % n] = ([licence(n)], "ansi" if n < 2 else ["utf-8", "utf-16"][n % 2])
    return out


def main():
    assert sorted(list(COMMON_TEXTS) + TEXT_NUMBERS) == list(range(26))
    assert [folded(c) for c in CITIES] == sorted(folded(c) for c in CITIES), CITIES
    for folder in (DISC, TWIN):
        if os.path.isdir(folder):
            shutil.rmtree(folder)
    for name, (lines, kind) in files().items():
        if name.endswith(".html") or name.endswith(".sis"):
            data = "\n".join(lines).encode("utf-8")
            write(DISC, name, data)
            # A name that the code page cannot spell cannot be a file of the twin.
            if name.encode("cp1252", errors="replace").decode("cp1252") == name:
                write(TWIN, name, data)
            continue
        write(DISC, name, encode(lines, kind))
        if name != "rsc/rscinfo-utf8.ini":
            write(TWIN, name, encode(lines, "ansi"))


if __name__ == "__main__":
    main()
