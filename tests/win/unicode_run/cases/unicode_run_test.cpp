// The eight-language disc of tools/sample_disc/make_unicode_disc.py walked by Setup.exe under
// Wine with a Western code page: pages, message boxes, the report and the documents opened keep
// every character, read back through the wide texts of the controls. Its ANSI twin shows what
// an ANSI disc has always shown: its bytes in the code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "../../installers/cases/wine_support.h"
#include "archive/archive_writer.h"
#include "resource.h"
#include "support/fakes.h"
#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;
using namespace wine_support;
namespace fs = std::filesystem;

fs::path utf8Path(const std::string& s) {
    return fs::path(std::u8string(s.begin(), s.end()));
}

// The texts of one language as the disc holds them.
struct Language {
    const char *name, *caption, *question, *accept, *licence, *registration, *leave;
    const char *install, *city, *guide, *worldMap, *cityMaps;
};
const Language LANGUAGES[] = {
    {"English", "Atlas Setup", "Do you really want to leave Setup?", "I accept the licence",
     "Please read the licence.", "Register my software", "Leave Setup", "Install maps",
     "Choose a city", "Read the guide", "World map", "City maps"},
    {"Français", "Installation d'Atlas", "Voulez-vous vraiment quitter ?", "J'accepte la licence",
     "Veuillez lire la licence.", "Enregistrer mon logiciel", "Quitter", "Installer des cartes",
     "Choisir une ville", "Lire le guide", "Carte du monde", "Plans de villes"},
    {"Polski", "Instalacja Atlasu", "Czy na pewno zakończyć instalację?", "Akceptuję licencję",
     "Proszę przeczytać licencję.", "Zarejestruj oprogramowanie", "Zakończ", "Zainstaluj mapy",
     "Wybierz miasto", "Przeczytaj przewodnik", "Mapa świata", "Plany miast"},
    {"Русский", "Установка Атласа", "Вы действительно хотите выйти?", "Я принимаю лицензию",
     "Прочитайте лицензию.", "Зарегистрировать программы", "Выйти", "Установить карты",
     "Выбрать город", "Прочитать руководство", "Карта мира", "Планы городов"},
    {"Ελληνικά", "Εγκατάσταση του Άτλαντα", "Θέλετε σίγουρα να βγείτε;", "Αποδέχομαι την άδεια",
     "Διαβάστε την άδεια χρήσης.", "Καταχώριση του λογισμικού", "Έξοδος", "Εγκατάσταση χαρτών",
     "Επιλογή πόλης", "Ανάγνωση οδηγού", "Παγκόσμιος χάρτης", "Χάρτες πόλεων"},
    {"Türkçe", "Atlas Kurulumu", "Kurulumdan çıkmak istiyor musunuz?", "Lisansı kabul ediyorum",
     "Lütfen lisansı okuyun.", "Yazılımımı kaydet", "Çıkış", "Haritaları kur", "Şehir seç",
     "Kılavuzu oku", "Dünya haritası", "Şehir planları"},
    {"日本語", "アトラスのセットアップ", "セットアップを終了しますか?", "ライセンスに同意します",
     "ライセンスをお読みください。", "ソフトウェアを登録する", "終了", "地図をインストール",
     "都市を選ぶ", "ガイドを読む", "世界地図", "市街地図"},
    {"中文", "地图集安装", "确实要退出安装吗?", "我接受许可协议", "请阅读许可协议。",
     "注册我的软件", "退出", "安装地图", "选择城市", "阅读指南", "世界地图", "城市地图"},
};
const char* const PRODUCT = "Атлас · Atlas";
const char* const GUIDE = "Руководство.html";
const char* const WORLD_SIS = "карта_мира.sis";
const char* const CITY_APK = "plány_měst.APK";
const char* const CITY_SIS = "city_maps.sis";  // entry names stay bytes of the code page

// A text as an ANSI disc written in Windows-1252 holds it and the page shows it: "?" for
// every character the code page lacks.
std::string ansiOf(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                      int(wide.size())));
    std::string bytes(wide.size() * 2, '\0');
    bytes.resize(::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), int(wide.size()),
                                       bytes.data(), int(bytes.size()), "?", nullptr));
    std::wstring back(bytes.size(), L'\0');
    back.resize(::MultiByteToWideChar(1252, 0, bytes.data(), int(bytes.size()), back.data(),
                                      int(back.size())));
    std::string out(back.size() * 3, '\0');
    out.resize(::WideCharToMultiByte(CP_UTF8, 0, back.data(), int(back.size()), out.data(),
                                     int(out.size()), nullptr, nullptr));
    return out;
}

// A copy of a test disc with Setup.exe, the sample disc's skin and the city maps package.
struct Disc {
    ScratchDir dir;
    explicit Disc(const char* name) {
        fs::path source = fs::path(windowsPathFromEnv("SETUP_SOURCE_DIR"));
        fs::copy(source / "tests" / "data" / name, dir.path(), fs::copy_options::recursive);
        for (const auto& e : fs::directory_iterator(source / "examples" / "disc" / "rsc"))
            if (e.path().extension() == ".bmp")
                fs::copy_file(e.path(), dir.path() / "rsc" / e.path().filename());
        fs::copy_file(binDir() + "\\Setup.exe", dir.path() / "Setup.exe");
        std::string archive, error;
        EXPECT_TRUE(
            buildFileArchive({{CITY_SIS, "city maps", 946684800, 946684800}}, archive, error))
            << error;
        std::ofstream(dir.path() / "Atlas" / "EPOC" / utf8Path(CITY_APK), std::ios::binary)
            << archive;
    }
    std::string exe() const { return dir.str() + "\\Setup.exe"; }
};

HWND choice(HWND page, int i) {
    return ::GetDlgItem(page, FIRST_CHOICE_ID + i);
}

std::vector<std::string> choices(HWND page, int count) {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(wideWindowText(choice(page, i)));
    return out;
}

// One Setup.exe on the disc and the page it shows; the screenshots are named lang-state.
class Session {
public:
    Session(const Disc& disc, std::string shots, const std::string& arguments = "")
        : shots_(std::move(shots)) {
        process_ = startProgram("\"" + disc.exe() + "\"" + arguments, disc.dir.str(), pid_);
    }
    ~Session() {
        if (process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process_, 1);
        if (process_) ::CloseHandle(process_);
    }
    // The next page other than the last, once its choice `choices - 1` (or its list) shows; a
    // message box instead fails with its text.
    HWND page(const std::string& name, int choices) {
        HWND found = nullptr;
        std::string box;
        waitUntil([&] {
            for (HWND w : findWindows(WindowQuery::dialogs(pid_))) {
                if (isMessageBox(w)) box = wideWindowText(::GetDlgItem(w, 0xFFFF));
                HWND shown = choices ? choice(w, choices - 1) : ::GetDlgItem(w, RADIO_LIST_VIEW_ID);
                if (isWizardPage(w) && w != last_ && ::IsWindowVisible(shown)) found = w;
            }
            return found || !box.empty();
        });
        EXPECT_TRUE(found) << "no page " << name << "; a message: " << box;
        last_ = found;
        ::WaitForInputIdle(process_, UI_TIMEOUT_MS);
        if (found) saveScreenshot(found, shots_ + "-" + name);
        return found;
    }
    HWND messageBox() {
        HWND found = nullptr;
        waitUntil([&] {
            for (HWND w : findWindows(WindowQuery::dialogs(pid_)))
                if (isMessageBox(w)) found = w;
            return found != nullptr;
        });
        if (found) saveScreenshot(found, shots_ + "-message");
        return found;
    }
    void check(HWND page, int i) {
        clickButton(page, FIRST_CHOICE_ID + i);
        EXPECT_TRUE(waitUntil([&] { return isChecked(page, FIRST_CHOICE_ID + i); })) << i;
    }
    bool ended() {
        DWORD code = 0;
        return waitForExit(process_, code);
    }

private:
    std::string shots_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND last_ = nullptr;
};

std::vector<std::string> names(bool ansi) {
    std::vector<std::string> out;
    for (const Language& l : LANGUAGES) out.push_back(ansi ? ansiOf(l.name) : l.name);
    return out;
}

TEST(UnicodeRun, TheTestPrefixHasAWesternCodePage) {
    EXPECT_EQ(::GetACP(), 1252u);
}

// The settings in UTF-16LE and in UTF-8 name the same eight languages.
TEST(UnicodeRun, LanguagePageOfEachSettingsFileShowsEveryName) {
    for (const char* settings : {"rscinfo.ini", "rscinfo-utf8.ini"}) {
        SCOPED_TRACE(settings);
        Disc disc("unicode_disc");
        if (std::string(settings) != "rscinfo.ini") {
            fs::remove(disc.dir.path() / "rsc" / "rscinfo.ini");
            fs::copy_file(disc.dir.path() / "rsc" / settings,
                          disc.dir.path() / "rsc" / "rscinfo.ini");
        }
        Session s(disc, std::string("settings-") + settings);
        HWND p = s.page("language", 8);
        ASSERT_TRUE(p);
        EXPECT_EQ(choices(p, 8), names(false));
        clickButton(p, WIZ_CANCEL);
        HWND box = s.messageBox();
        ASSERT_TRUE(box);
        clickButton(box, IDYES);
        EXPECT_TRUE(s.ended());
    }
}

// Each language from the language page to the closing page: its platform, licence, product,
// menu, check list and summary; the Cancel question; the packages with Unicode names reach the
// installer; in Russian the Cyrillic document opens, in Greek type-ahead finds "Ωμέγα".
TEST(UnicodeRun, EveryLanguageWalksToTheClosingPage) {
    for (int n = 0; n < 8; ++n) {
        const Language& l = LANGUAGES[n];
        SCOPED_TRACE(l.name);
        Disc disc("unicode_disc");
        ScratchDir work;
        StandinLog log(work.str());
        Session s(disc, "lang" + std::to_string(n));
        HWND p = s.page("language", 8);
        ASSERT_TRUE(p);
        EXPECT_EQ(choices(p, 8), names(false));
        s.check(p, n);
        clickButton(p, WIZ_NEXT);

        p = s.page("platform", 2);
        ASSERT_TRUE(p);
        EXPECT_EQ(choices(p, 2), (std::vector<std::string>{"Psion · EPOC", "Palm OS"}));
        clickButton(p, WIZ_NEXT);

        p = s.page("licence", 2);
        ASSERT_TRUE(p);
        EXPECT_EQ(wideWindowText(::GetDlgItem(p, IDC_ACCEPT_CHECK)), l.accept);
        EXPECT_EQ(wideWindowText(choice(p, 0)).rfind(l.licence, 0), 0u)
            << wideWindowText(choice(p, 0));
        s.check(p, 1);
        clickButton(p, WIZ_NEXT);

        p = s.page("product", 2);
        ASSERT_TRUE(p);
        std::vector<std::string> products = choices(p, 2);
        EXPECT_TRUE(std::is_permutation(products.begin(), products.end(),
                                        std::vector<std::string>{PRODUCT, "Extras"}.begin()))
            << products[0] << " / " << products[1];
        s.check(p, products[0] == "Extras" ? 1 : 0);
        clickButton(p, WIZ_NEXT);

        p = s.page("menu", 4);
        ASSERT_TRUE(p);
        EXPECT_EQ(choices(p, 4), (std::vector<std::string>{l.install, l.city, l.guide, l.leave}));
        clickButton(p, WIZ_CANCEL);
        HWND box = s.messageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(wideWindowText(::GetDlgItem(box, 0xFFFF)), l.question);
        EXPECT_EQ(wideWindowText(box), l.caption);
        clickButton(box, IDNO);
        EXPECT_TRUE(waitUntil([&] { return !::IsWindow(box); }));
        s.check(p, 0);
        clickButton(p, WIZ_NEXT);

        p = s.page("maps", 2);
        ASSERT_TRUE(p);
        EXPECT_EQ(choices(p, 2), (std::vector<std::string>{l.worldMap, l.cityMaps}));
        s.check(p, 0);
        s.check(p, 1);
        clickButton(p, WIZ_NEXT);

        p = s.page("summary", 1);
        ASSERT_TRUE(p);
        EXPECT_EQ(wideWindowText(choice(p, 0)), std::string(l.worldMap) + "\r\n" + l.cityMaps);
        clickButton(p, WIZ_NEXT);

        p = s.page("menu-after-install", 4);
        ASSERT_TRUE(p);
        ASSERT_TRUE(log.waitForRecords(2)) << log.read();
        const std::string installed = log.read();
        EXPECT_NE(installed.find("argw=" + disc.dir.str() + "\\Atlas\\EPOC\\" + WORLD_SIS + "\r\n"),
                  std::string::npos)
            << installed;
        EXPECT_NE(installed.find(std::string("\\") + CITY_SIS), std::string::npos) << installed;

        if (n == 3) {
            s.check(p, 2);
            clickButton(p, WIZ_NEXT);
            p = s.page("menu-after-guide", 4);
            ASSERT_TRUE(p);
            ASSERT_TRUE(log.waitForRecords(3)) << log.read();
            EXPECT_NE(log.read().find("argw=" + disc.dir.str() + "\\Atlas\\EPOC\\" + GUIDE),
                      std::string::npos)
                << log.read();
        }
        if (n == 4) {
            s.check(p, 1);
            clickButton(p, WIZ_NEXT);
            p = s.page("cities", 0);
            ASSERT_TRUE(p);
            HWND list = ::GetDlgItem(p, RADIO_LIST_VIEW_ID);
            std::vector<ListRow> rows = wideListRows(list);
            ASSERT_EQ(rows.size(), 16u);
            EXPECT_EQ(rows[9].text, "Ωμέγα");
            EXPECT_EQ(rows[13].text, "北京");
            focusControl(list);
            typeCharacters(list, "ωμ");
            EXPECT_TRUE(waitUntil([&] {
                rows = wideListRows(list);
                return rows.size() == 16 && rows[9].selected;
            })) << "typing ωμ selects Ωμέγα";
            saveScreenshot(p, "lang4-cities-typed");
            clickButton(p, WIZ_BACK);
            p = s.page("menu-after-cities", 4);
            ASSERT_TRUE(p);
        }
        s.check(p, 3);
        clickButton(p, WIZ_NEXT);
        p = s.page("closing", 1);
        ASSERT_TRUE(p);
        EXPECT_EQ(wideWindowText(choice(p, 0)), l.registration);
        EXPECT_TRUE(isChecked(p, FIRST_CHOICE_ID + 0));  // Next opens the registration
        clickButton(p, WIZ_NEXT);
        EXPECT_TRUE(s.ended());
    }
}

// The report of check mode names a missing package by its Cyrillic name: written as UTF-8
// with a byte-order mark, as the code page cannot hold it. The twin's report stays ANSI.
TEST(UnicodeRun, ReportKeepsEveryCharacter) {
    for (const char* name : {"unicode_disc", "unicode_disc_ansi"}) {
        SCOPED_TRACE(name);
        const bool ansi = std::string(name) == "unicode_disc_ansi";
        Disc disc(name);
        fs::remove(disc.dir.path() / "Atlas" / "EPOC" / utf8Path(WORLD_SIS));
        // The twin holds no file of this folder: none has a name of the code page.
        fs::create_directories(disc.dir.path() / "Atlas" / "EPOC");
        Session s(disc, std::string("report-") + name, " -check");
        EXPECT_TRUE(s.ended());
        const std::string report = readFile(disc.dir.path() / "report.txt");
        ASSERT_FALSE(report.empty());
        EXPECT_EQ(report.rfind("\xEF\xBB\xBF", 0) == 0, !ansi) << report;
        const std::string missing = ansi ? "????_????" : "карта_мира";
        EXPECT_NE(report.find(missing), std::string::npos) << report;
    }
}

// The twin: the same disc without marks shows its bytes in the code page, "?" for the rest,
// on the language page, the menu page and in the Cancel question.
TEST(UnicodeRun, AnsiTwinShowsTodaysTexts) {
    Disc disc("unicode_disc_ansi");
    const Language& l = LANGUAGES[3];
    Session s(disc, "ansi");
    HWND p = s.page("language", 8);
    ASSERT_TRUE(p);
    EXPECT_EQ(choices(p, 8), names(true));
    s.check(p, 3);
    clickButton(p, WIZ_NEXT);
    p = s.page("platform", 2);
    ASSERT_TRUE(p);
    clickButton(p, WIZ_NEXT);
    p = s.page("licence", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(wideWindowText(::GetDlgItem(p, IDC_ACCEPT_CHECK)), ansiOf(l.accept));
    s.check(p, 1);
    clickButton(p, WIZ_NEXT);
    p = s.page("product", 2);
    ASSERT_TRUE(p);
    std::vector<std::string> products = choices(p, 2);
    s.check(p, products[0] == ansiOf(PRODUCT) ? 0 : 1);
    clickButton(p, WIZ_NEXT);
    p = s.page("menu", 4);
    ASSERT_TRUE(p);
    EXPECT_EQ(choices(p, 4), (std::vector<std::string>{ansiOf(l.install), ansiOf(l.city),
                                                       ansiOf(l.guide), ansiOf(l.leave)}));
    clickButton(p, WIZ_CANCEL);
    HWND box = s.messageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(wideWindowText(::GetDlgItem(box, 0xFFFF)), ansiOf(l.question));
    clickButton(box, IDYES);
    p = s.page("closing", 1);
    ASSERT_TRUE(p);
    EXPECT_EQ(wideWindowText(choice(p, 0)), ansiOf(l.registration));
    clickButton(p, WIZ_NEXT);
    EXPECT_TRUE(s.ended());
}

}  // namespace

// setuptool.exe takes its arguments wide: a folder and a package named outside the code page
// are found, and the entries' names go into the package as the code page's bytes.
TEST(UnicodeRun, SetuptoolTakesPathsOutsideTheCodePage) {
    ScratchDir dir;
    const std::string folder = dir.str() + "\\Атлас", out = dir.str() + "\\out.txt";
    const std::string tool = "\"" + binDir() + "\\setuptool.exe\" ";
    fs::create_directories(utf8Path(folder));
    std::ofstream(utf8Path(folder + "\\café.txt"), std::ios::binary) << "menu";
    const std::string package = dir.str() + "\\Пакет.apk";
    ASSERT_EQ(runCapturing(tool + "pack \"" + folder + "\" \"" + package + "\"", out), 0)
        << readFileText(out);
    EXPECT_EQ(runCapturing(tool + "list \"" + package + "\"", out), 0);
    EXPECT_NE(readFileText(out).find("\"caf\\u00e9.txt\""), std::string::npos) << readFileText(out);

    std::ofstream(utf8Path(folder + "\\Ж.txt"), std::ios::binary) << "x";
    const std::string refused = dir.str() + "\\второй.apk";
    EXPECT_EQ(runCapturing(tool + "pack \"" + folder + "\" \"" + refused + "\"", out), 1);
    EXPECT_NE(readFileText(out).find("a name the code page cannot hold: Ж.txt"), std::string::npos)
        << readFileText(out);
    EXPECT_FALSE(fs::exists(utf8Path(refused)));
}
