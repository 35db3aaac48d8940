// Setup.exe run from start to end on a test disc, driven from outside as a user would, with
// the stand-in installers and browser registered.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <regex>

#include "../../installers/cases/wine_support.h"
#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "resource.h"
#include "session.h"
#include "support/fakes.h"
#include "support/test_disc.h"
#include "support/ui_driver_win.h"
#include "support/wine_cdrom_win.h"

namespace {

using namespace testing_support;
using namespace wine_support;
using namespace wizard_run;
namespace fs = std::filesystem;

const std::string CHESS_SIS = "chess for the Psion, plain package";
const std::string CARDS_SIS = std::string(3000, 'c') + " cards, compressed package";

std::string packageOf(const std::string& name, const std::string& data, bool compressed) {
    std::string bytes, error;
    EXPECT_TRUE(buildFileArchive({{name, data, 946684800, 946684800}}, bytes, error)) << error;
    if (!compressed) return bytes;
    return encodeArpk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// Two languages (the sample disc's settings and skin), EPOC with two products, PALM with one.
struct WizardDisc {
    ScratchDir dir;   // the disc
    ScratchDir work;  // the user's side: the temporary folder, the stand-ins' log
    std::string temp;
    WizardDisc() {
        fs::path sample = fs::path(windowsPathFromEnv("SETUP_SOURCE_DIR")) / "examples" / "disc";
        fs::create_directories(dir.path() / "rsc");
        for (const auto& e : fs::directory_iterator(sample / "rsc"))
            fs::copy_file(e.path(), dir.path() / "rsc" / e.path().filename());
        fs::copy_file(binDir() + "\\Setup.exe", dir.path() / "Setup.exe");
        dir.write("Games/EPOC.mnu", crlf({"EPOC",
                                          "3",
                                          "Games Pack",
                                          "Version 1.0",
                                          "http://example.com/register",
                                          "MENU 0 3 RADIOBUTTONS",
                                          "TOPTEXT",
                                          "Welcome to the Games Pack.",
                                          "*",
                                          "MENUOPTION",
                                          "Install games",
                                          "1",
                                          "MENUOPTION",
                                          "Documents and links",
                                          "2",
                                          "QUIT",
                                          "Leave Setup",
                                          "MENU 1 3 LIST",
                                          "TOPTEXT",
                                          "Choose the games to install.",
                                          "*",
                                          "I",
                                          "Chess",
                                          "chess",
                                          "I",
                                          "Cards",
                                          "cards",
                                          "I",
                                          "Chess again",
                                          "CHESS",
                                          "MENU 2 2 RADIOBUTTONS",
                                          "TOPTEXT",
                                          "Read about the games.",
                                          "*",
                                          "HTMLOPTION",
                                          "Read the manual",
                                          "manual.html",
                                          "HTMLOPTION",
                                          "Visit the web site",
                                          "http://example.com/games",
                                          "END"}));
        dir.write("Games/EPOC/chess.APK", packageOf("chess.sis", CHESS_SIS, false));
        dir.write("Games/EPOC/cards.APK", packageOf("cards.sis", CARDS_SIS, true));
        dir.write("Games/EPOC/manual.html", "<html>manual</html>");
        dir.write("Office/EPOC.mnu", crlf({"EPOC", "1", "Office Suite", "2.0", "-",
                                           "MENU 0 1 RADIOBUTTONS", "QUIT", "Leave", "END"}));
        dir.write("Tools/PALM.mnu", crlf({"PALM", "1", "Palm Tools", "1.0", "-",
                                          "MENU 0 1 RADIOBUTTONS", "QUIT", "Leave", "END"}));
        temp = work.str() + "\\tmp dir";
        fs::create_directories(temp);
    }
    std::string exe() const { return dir.str() + "\\Setup.exe"; }
    // A copy of Setup.exe in a folder that holds no setup data.
    std::string exeElsewhere() const {
        fs::create_directories(work.path() / "elsewhere");
        fs::copy_file(dir.path() / "Setup.exe", work.path() / "elsewhere" / "Setup.exe",
                      fs::copy_options::overwrite_existing);
        return work.str() + "\\elsewhere\\Setup.exe";
    }
    std::string text(int language, int n) const {
        char buf[1024] = "";
        std::string section = "lang", key = "text";
        section += std::to_string(language);
        key += std::to_string(n);
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buf, sizeof buf,
                                   (dir.str() + "\\rsc\\rscinfo.ini").c_str());
        return buf;
    }
};

std::vector<std::string> records(const std::string& log) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t end; (end = log.find("end\r\n", from)) != std::string::npos; from = end + 5)
        out.push_back(log.substr(from, end - from));
    return out;
}

std::string fileLine(const std::string& data) {
    char tail[32];
    std::snprintf(tail, sizeof tail, "|%u|%08X", static_cast<unsigned>(data.size()),
                  static_cast<unsigned>(crc32(data)));
    return tail;
}

// The installer's command line: the registered program, and the package's file unpacked
// into a new folder under %TMP%, quoted as the path holds a blank.
std::regex installCommand(const std::string& temp, const std::string& package) {
    auto escape = [](const std::string& s) {
        return std::regex_replace(s, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
    };
    std::string program = standinDir();
    program += "\\EPOC Install.exe\" \"";
    std::string pattern = "cmdline=\"";
    pattern += escape(program + temp);
    pattern += R"(\\Setup-[0-9A-F]{8}\\)";
    pattern += escape(package + "\\" + package + ".sis\"");
    pattern += "\r\n";
    return std::regex(pattern);
}

// Started as from a CD: a copy of Setup.exe in a folder without setup data finds the disc on
// the first CD-ROM drive, and writes nothing onto it.
TEST(WizardRun, FromTheSplashToTheRegistration) {
    WizardDisc disc;
    StandinLog log(disc.work.str());
    WineCdRom cd('m', disc.dir.str());
    ASSERT_TRUE(cd.ok()) << "no CD-ROM drive could be defined";
    for (char d = 'a'; d < 'm'; ++d)  // a CD-ROM drive before m: would be looked at instead
        ASSERT_NE(::GetDriveTypeA((std::string(1, d) + ":\\").c_str()), UINT(DRIVE_CDROM)) << d;
    const std::string discBefore = treeDigest(disc.dir.path());
    Session s(disc, "first-", disc.exeElsewhere());
    ASSERT_TRUE(s.started());
    s.splash();

    HWND p = s.page("language", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(windowText(choice(p, 0)), "English");
    EXPECT_EQ(windowText(choice(p, 1)), "Deutsch");
    s.check(p, 1);
    s.press(p, WIZ_NEXT);

    p = s.page("platform", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(windowText(choice(p, 0)), disc.text(1, 12));
    EXPECT_EQ(windowText(choice(p, 1)), disc.text(1, 15));
    EXPECT_TRUE(isChecked(p, FIRST_CHOICE_ID + 0));
    s.press(p, WIZ_NEXT);

    p = s.page("licence", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(windowText(::GetDlgItem(p, IDC_ACCEPT_CHECK)), disc.text(1, 2));
    EXPECT_NE(windowText(choice(p, 0)).find("LIZENZVERTRAG"), std::string::npos);
    s.check(p, 1);
    s.press(p, WIZ_NEXT);

    p = s.page("product", 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(windowText(choice(p, 0)), "Games Pack");
    EXPECT_EQ(windowText(choice(p, 1)), "Office Suite");
    s.press(p, WIZ_NEXT);

    p = s.page("start-menu", 3);
    ASSERT_TRUE(p);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(p, WIZ_BACK)));
    s.press(p, WIZ_NEXT);  // Install games, chosen at the start

    p = s.page("check-list", 3);
    ASSERT_TRUE(p);
    for (int i = 0; i < 3; ++i) s.check(p, i);
    s.press(p, WIZ_NEXT);

    p = s.page("summary");
    ASSERT_TRUE(p);
    EXPECT_EQ(windowText(choice(p, 0)),
              "Chess\r\nCards\r\nChess again\r\n" + disc.text(1, 21) + "\r\n\r\nChess again");
    s.press(p, WIZ_NEXT);

    // The pass: each package once, the plain and the compressed one, then the start menu.
    p = s.page("start-menu-after-install", 3);
    ASSERT_TRUE(p);
    std::vector<std::string> passed = records(log.read());
    ASSERT_EQ(passed.size(), 2u) << log.read();
    EXPECT_TRUE(std::regex_search(passed[0], installCommand(disc.temp, "chess"))) << passed[0];
    EXPECT_NE(passed[0].find(fileLine(CHESS_SIS)), std::string::npos) << passed[0];
    EXPECT_TRUE(std::regex_search(passed[1], installCommand(disc.temp, "cards"))) << passed[1];
    EXPECT_NE(passed[1].find(fileLine(CARDS_SIS)), std::string::npos) << passed[1];
    EXPECT_TRUE(fs::is_empty(disc.temp)) << "the temporary folders are removed";
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(p, WIZ_BACK)));
    s.check(p, 1);
    s.press(p, WIZ_NEXT);

    // A document opens and the page comes back; then a web address.
    p = s.page("documents", 2);
    ASSERT_TRUE(p);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(p, WIZ_BACK)));
    s.press(p, WIZ_NEXT);
    p = s.page("documents-again", 2);
    ASSERT_TRUE(p);
    ASSERT_TRUE(log.waitForRecords(3));
    s.check(p, 1);
    s.press(p, WIZ_NEXT);
    p = s.page("documents-after-link", 2);
    ASSERT_TRUE(p);
    ASSERT_TRUE(log.waitForRecords(4));
    std::vector<std::string> opened = records(log.read());
    EXPECT_NE(opened[2].find("program=Web Browser.exe"), std::string::npos) << opened[2];
    EXPECT_NE(opened[2].find("Games\\EPOC\\manual.html"), std::string::npos) << opened[2];
    EXPECT_NE(opened[3].find("arg=http://example.com/games\r\n"), std::string::npos) << opened[3];
    s.press(p, WIZ_BACK);

    p = s.page("start-menu-after-back", 3);
    ASSERT_TRUE(p);
    s.check(p, 2);  // Leave Setup
    s.press(p, WIZ_NEXT);

    p = s.page("closing", 1);
    ASSERT_TRUE(p);
    EXPECT_EQ(windowText(choice(p, 0)), disc.text(1, 10));
    EXPECT_TRUE(isChecked(p, FIRST_CHOICE_ID + 0));
    s.press(p, WIZ_NEXT);
    EXPECT_TRUE(s.ended());
    ASSERT_TRUE(log.waitForRecords(5));
    EXPECT_NE(records(log.read())[4].find("arg=http://example.com/register\r\n"), std::string::npos)
        << log.read();
    EXPECT_EQ(treeDigest(disc.dir.path()), discBefore) << "Setup wrote onto the disc";
}

TEST(WizardRun, CancelInTheProgressWindowEndsWithoutTheClosingPage) {
    WizardDisc disc;
    StandinLog log(disc.work.str());
    std::string hold = disc.work.str() + "\\release";
    ::SetEnvironmentVariableA("STANDIN_HOLD", hold.c_str());
    Session s(disc, "");
    ASSERT_TRUE(s.started());
    for (const char* page : {"language", "platform"}) {
        HWND p = s.page(page, 2);
        ASSERT_TRUE(p);
        s.press(p, WIZ_NEXT);
    }
    HWND p = s.page("licence", 2);
    ASSERT_TRUE(p);
    s.check(p, 1);
    s.press(p, WIZ_NEXT);
    for (const char* page : {"product", "start-menu"}) {
        p = s.page(page, 2);
        ASSERT_TRUE(p);
        s.press(p, WIZ_NEXT);
    }
    p = s.page("check-list", 3);
    ASSERT_TRUE(p);
    s.check(p, 0);
    s.press(p, WIZ_NEXT);
    p = s.page("summary");
    ASSERT_TRUE(p);
    s.press(p, WIZ_NEXT);

    // The installer has its files and waits; the user cancels in the minimized window.
    ASSERT_TRUE(log.waitForRecords(1));
    HWND progress = s.progressDialog();
    ASSERT_TRUE(progress);
    s.press(progress, IDCANCEL);
    EXPECT_TRUE(s.endsWithoutPage());
    EXPECT_EQ(log.read().find("exit "), std::string::npos) << "the installer still runs";
    ::SetEnvironmentVariableA("STANDIN_HOLD", nullptr);
    ASSERT_TRUE(writeFileText(hold, ""));
    EXPECT_TRUE(waitUntil([&] { return log.read().find("exit ") != std::string::npos; }));
}

TEST(WizardRun, CancelOnTheLanguagePageAsksFirst) {
    WizardDisc disc;
    Session s(disc, "");
    ASSERT_TRUE(s.started());
    HWND p = s.page("language", 2);
    ASSERT_TRUE(p);
    s.press(p, WIZ_CANCEL);
    HWND box = s.messageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(messageBoxText(box), disc.text(0, 0));
    EXPECT_EQ(windowText(box), disc.text(0, 1));
    s.press(box, IDNO);
    EXPECT_TRUE(waitUntil([&] { return !::IsWindow(box); }));
    EXPECT_TRUE(::IsWindowVisible(p)) << "No keeps the page";
    s.press(p, WIZ_CANCEL);
    box = s.messageBox();
    ASSERT_TRUE(box);
    s.press(box, IDYES);
    EXPECT_TRUE(s.endsWithoutPage());
}

}  // namespace
