#include "support/test_disc.h"

#include <algorithm>
#include <vector>

#include "support/bmp_writer.h"
#include "support/crc32.h"

namespace testing_support {

namespace {
std::string under(const std::string& at, const std::string& relative) {
    return at.empty() ? relative : at + "/" + relative;
}
}  // namespace

std::string treeDigest(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::vector<std::string> lines;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        std::string line = e.path().lexically_relative(root).generic_string();
        const auto status = e.symlink_status();
        if (fs::is_regular_file(status)) {
            line += " file " + std::to_string(e.file_size()) + " " +
                    std::to_string(e.last_write_time().time_since_epoch().count()) + " " +
                    std::to_string(crc32(readFile(e.path())));
        } else {
            line += fs::is_directory(status) ? " folder" : " other";
        }
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    return all;
}

std::string crlf(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* line : lines) s += std::string(line) + "\r\n";
    return s;
}

void writeDiscSettings(const ScratchDir& dir, const std::string& at, std::uint32_t splashRgb) {
    std::string ini = "[Language]\r\nlang0=English\r\n[lang0]\r\n";
    for (int i = 0; i <= 30; ++i) {
        std::string text = i == 1    ? "Sample Setup"
                           : i == 16 ? "No desktop software for any handheld was found."
                                     : "Text " + std::to_string(i);
        ini += "text" + std::to_string(i) + "=" + text + "\r\n";
    }
    ini += "[Colours]\r\nsplashR=" + std::to_string(splashRgb >> 16) +
           "\r\nsplashG=" + std::to_string((splashRgb >> 8) & 0xFF) +
           "\r\nsplashB=" + std::to_string(splashRgb & 0xFF) + "\r\n";
    dir.write(under(at, "rsc/rscinfo.ini"), ini);
    for (const char* name : {"bcancel", "bleft", "bright", "bfinish", "cbrand", "clogo", "bar",
                             "dbg", "bcancelf", "bleftf", "brightf", "bfinishf"})
        dir.write(under(at, std::string("rsc/") + name + ".bmp"), solidBmp(8, 8, 0x336699));
}

void writeCheckDisc(const ScratchDir& dir, const std::string& at) {
    writeDiscSettings(dir, at);
    auto put = [&](const std::string& relative, const std::string& content) {
        dir.write(under(at, relative), content);
    };
    put("Games/EPOC.mnu", crlf({"EPOC",
                                "3",
                                "Games",
                                "1.0",
                                "http://example.com/register",
                                "MENU 0 4 RADIOBUTTONS",
                                "MENUOPTION",
                                "Install games",
                                "1",
                                "HTMLOPTION",
                                "Manual",
                                "manual.txt",
                                "HTMLOPTION",
                                "Web site",
                                "http://example.com/games",
                                "QUIT",
                                "Leave",
                                "MENU 1 3 LIST",
                                "I",
                                "Chess",
                                "chess",
                                "I",
                                "Cards",
                                "cards",
                                "I",
                                "Dice",
                                "dice",
                                "MENU 2 1 LIST Extras",
                                "I",
                                "Bonus",
                                "bonus",
                                "END"}));
    put("Games/EPOC/manual.txt", "manual");
    put("Games/EPOC/chess.sis", "sis");
    put("Games/EPOC/cards.APK", "apk");
    put("Games/N9210.mnu",
        crlf({"N9210", "1", "Games", "1.0", "-", "MENU 0 4 LIST", "I", "Chess", "chess", "I",
              "Poker", "poker", "HTMLOPTION", "Shop", "HTTP://example.com/shop", "EXEOPTION",
              "Viewer", "viewer.exe", "END"}));
    put("Games/N9210/chess.sis", "sis");
    put("Organizer/POCKETPC.mnu", crlf({"POCKETPC",
                                        "2",
                                        "Organizer",
                                        "2.0",
                                        "-",
                                        "MENU 0 2 LIST",
                                        "I",
                                        "Calendar",
                                        "calendar",
                                        "I",
                                        "Notes",
                                        "notes",
                                        "MENU 1 3 RADIOBUTTONS",
                                        "HTMLOPTION",
                                        "Mail us",
                                        "mailto://support@example.com",
                                        "HTMLOPTION",
                                        "Mail us too",
                                        "mailto:support@example.com",
                                        "QUIT",
                                        "Leave",
                                        "END"}));
    put("Organizer/POCKETPC/calendar.ini", "ini");
    put("Organizer/PALM.mnu",
        crlf({"PALM", "2", "Organizer", "2.0", "-", "MENU 0 2 LIST Palm files", "I", "Calendar",
              "calendar", "I", "Memo", "memo", "MENU 1 1 LIST", "I", "Todo", "todo", "END"}));
    put("Organizer/Palm files/calendar/cal.prc", "prc");
    put("Organizer/Palm files/memo.APK", "apk");
    put("Organizer/PALM/readme.txt", "palm");
    put("Docs/readme.txt", "no scripts here");
}

std::string expectedCheckReport(const std::string& d) {
    return "Checking menu " + d + "Games\\EPOC.mnu:0...\r\n" + "All OK.\r\n" + "Checking menu " +
           d + "Games\\EPOC.mnu:1...\r\n" + "Neither files dice.sis nor dice.apk in " + d +
           "Games\\EPOC not found.\r\n" + "Checking menu " + d + "Games\\EPOC.mnu:2...\r\n" +
           "Directory " + d + "Games\\Extras not found.\r\n" + "Checking menu " + d +
           "Games\\N9210.mnu:0...\r\n" + "Neither files poker.sis nor poker.apk in " + d +
           "Games\\N9210 not found.\r\n" + "File " + d +
           "Games\\N9210\\HTTP://example.com/shop not found.\r\n" + "File " + d +
           "Games\\N9210\\viewer.exe not found.\r\n" + "Checking menu " + d +
           "Organizer\\POCKETPC.mnu:0...\r\n" + "Neither files notes.ini nor notes.apk in " + d +
           "Organizer\\POCKETPC not found.\r\n" + "Checking menu " + d +
           "Organizer\\POCKETPC.mnu:1...\r\n" + "File " + d +
           "Organizer\\POCKETPC\\mailto:support@example.com not found.\r\n" + "Checking menu " + d +
           "Organizer\\PALM.mnu:0...\r\n" + "All OK.\r\n" + "Checking menu " + d +
           "Organizer\\PALM.mnu:1...\r\n" + "Neither files todo\\*.* nor todo.apk in " + d +
           "Organizer\\PALM not found.\r\n";
}

void writePreviewFaultsDisc(const ScratchDir& dir, const std::string& at,
                            const std::filesystem::path& sampleRsc) {
    for (const auto& entry : std::filesystem::directory_iterator(sampleRsc))
        if (entry.path().extension() == ".bmp")
            dir.write(under(at, "rsc/" + entry.path().filename().string()), readFile(entry.path()));
    std::string ini =
        "[Language]\r\nlang0=English\r\nlang1=Deutsch\r\ndefaultlanguage=0\r\n"
        "[Colours]\r\nsplashR=20\r\nsplashG=70\r\nsplashB=130\r\n";
    for (int language = 0; language < 2; ++language) {
        ini += "[lang" + std::to_string(language) + "]\r\n";
        // Only English has text 26.
        for (int i = 0; i <= 26 - language; ++i)
            ini += "text" + std::to_string(i) + "=" + (language ? "Text " : "Text ") +
                   std::to_string(i) + (i == 4 ? " %s %s" : "") + "\r\n";
    }
    dir.write(under(at, "rsc/rscinfo.ini"), ini);
    std::vector<std::string> lines = {"PALM",
                                      "4",
                                      "Faults",
                                      "Version 1",
                                      "-",
                                      "SETUPREQUIRED 1.50",
                                      "MENU_FOR_LANGUAGE 0 0",
                                      "MENU_FOR_LANGUAGE 1 1",
                                      "MENU 0 3 RADIOBUTTONS",
                                      "TITLE",
                                      "Faults",
                                      "*",
                                      "TOPTEXT",
                                      "Choose.",
                                      "*",
                                      "MENUOPTION",
                                      "A long top text",
                                      "2",
                                      "MENUOPTION",
                                      "Ten options",
                                      "3",
                                      "QUIT",
                                      "%04Leave|now",
                                      "MENU 1 2 RADIOBUTTONS",
                                      "TITLE",
                                      "Faults",
                                      "*",
                                      "TOPTEXT",
                                      "Bitte w\xe4hlen.",
                                      "*",
                                      "QUIT",
                                      "Eine au\xdf"
                                      "erordentlich lange Beschriftung, die in keiner "
                                      "Zeile dieser Seite Platz findet, ganz gleich wie breit",
                                      "QUIT",
                                      "%026",
                                      "MENU 2 1 RADIOBUTTONS",
                                      "TITLE",
                                      "Faults",
                                      "*",
                                      "TOPTEXT",
                                      "LONG TOP TEXT",
                                      "*",
                                      "QUIT",
                                      "Leave",
                                      "MENU 3 10 RADIOBUTTONS",
                                      "TITLE",
                                      "Faults",
                                      "*",
                                      "BOTTOMTEXT",
                                      "Ten options do not fit above this text.",
                                      "*"};
    for (int i = 1; i <= 10; ++i) {
        lines.push_back("QUIT");
        lines.push_back("Option " + std::to_string(i));
    }
    lines.push_back("END");
    std::string script;
    for (const std::string& line : lines) {
        if (line != "LONG TOP TEXT") {
            script += line + "\r\n";
            continue;
        }
        // Twelve lines of top text: less than 51 pixels allow under 3 points.
        for (int i = 0; i < 12; ++i) script += "This line makes the top text too long.\r\n";
    }
    dir.write(under(at, "Faults/PALM.mnu"), script);
}

}  // namespace testing_support
