// The walk of scripts/run-sample: starts Setup.exe on the sample disc five times and goes
// through its wizard as a user would, one platform a time: installs on each, opens a document,
// goes Back, starts a program after its copyright page, cancels, and ends on the closing page.
// Every page is saved as a screenshot; the stand-in installers' log must show what each pass
// handed over. Setup.exe starts as users start it, from a CD-ROM drive: the disc folder
// becomes one for the walk.
//   sample_walk DISC_FOLDER SCREENSHOT_FOLDER     (the log: the environment's STANDIN_LOG)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "setup_process_win.h"
#include "support/wine_cdrom_win.h"

namespace sample_walk {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class Walk {
public:
    Walk(std::string disc, std::string shots, std::string log)
        : disc_(std::move(disc)), shots_(std::move(shots)), log_(std::move(log)) {}

    // Starts Setup.exe and answers the start-up pages: language, platform, licence.
    void start(const std::string& name, const std::string& language, const std::string& platform,
               const std::string& licenceStart) {
        std::printf("-- %s\n", name.c_str());
        scenario_ = name;
        logStart_ = readFile(log_).size();
        setup_ = std::make_unique<SetupProcess>(disc_ + "Setup.exe", disc_);
        page_ = nullptr;
        HWND splash =
            setup_->waitFor({WindowKind::Splash, WindowKind::Page}, nullptr, "the splash");
        if (kindOf(splash) == WindowKind::Splash) shot(splash, "splash");

        expectPage("the language page", "language");
        expectChoices({"English", "Deutsch"});
        choose(language);
        next();
        expectPage("the platform page", "platform");
        if (choiceLabels(page_).size() != 4)
            throw WalkError("the platform page does not offer all four");
        choose(platform);
        next();
        expectPage("the licence page", "licence");
        expectText(FIRST_CHOICE_ID, licenceStart);
        if (visible(page_, WIZ_NEXT))
            throw WalkError("Next is shown before the licence is accepted");
        click(control(page_, IDC_ACCEPT_CHECK));
        waitUntil([&] { return visible(page_, WIZ_NEXT); }, "Next after accepting the licence");
        next();
    }

    void expectPage(const std::string& what, const std::string& shotName) {
        if (page_) setup_->waitGone(page_, "the page before " + what);
        page_ = setup_->waitFor({WindowKind::Page}, page_, what);
        shot(page_, shotName);
    }

    // The page offers exactly these choices, in any order.
    void expectChoices(std::vector<std::string> labels) {
        std::vector<std::string> seen = choiceLabels(page_);
        std::string list;
        for (const std::string& s : seen) list += " \"" + s + "\"";
        std::sort(labels.begin(), labels.end());
        std::sort(seen.begin(), seen.end());
        if (seen != labels) throw WalkError("unexpected choices on the page:" + list);
    }

    void expectText(int id, const std::string& start) {
        std::string t = text(control(page_, id));
        if (t.compare(0, start.size(), start) != 0)
            throw WalkError("control " + std::to_string(id) + " reads \"" + t.substr(0, 80) +
                            "\", expected it to begin with \"" + start + "\"");
    }

    void expectTextHolds(int id, const std::string& part) {
        std::string t = text(control(page_, id));
        if (t.find(part) == std::string::npos)
            throw WalkError("control " + std::to_string(id) + " reads \"" + t + "\" without \"" +
                            part + "\"");
    }

    void choose(const std::string& label) {
        HWND c = choice(page_, label);
        click(c);
        waitUntil([&] { return checked(c); }, "\"" + label + "\" to be chosen");
    }

    void tick(const std::string& label) {
        HWND c = choice(page_, label);
        const bool was = checked(c);
        click(c);
        waitUntil([&] { return checked(c) != was; }, "\"" + label + "\" to change");
    }

    // Types into a list and waits until the search has moved the selection to the row.
    void typeAhead(int listId, const std::string& keys, int row) {
        HWND list = control(page_, listId);
        for (char k : keys) type(list, k);
        waitUntil([&] { return selectedRow(list) == row; },
                  "typing \"" + keys + "\" to select row " + std::to_string(row));
    }

    void next() { press(page_, WIZ_NEXT); }
    void back() { press(page_, WIZ_BACK); }

    // Cancel, the question of text 0, and Yes.
    void cancelAndConfirm(const std::string& question) {
        press(page_, WIZ_CANCEL);
        HWND box = setup_->waitFor({WindowKind::MessageBox}, nullptr, "the question after Cancel");
        shot(box, "cancel-question");
        if (text(control(box, 0xFFFF)) != question)
            throw WalkError("the Cancel question reads \"" + text(control(box, 0xFFFF)) + "\"");
        press(box, IDYES);
        setup_->waitGone(box, "the question");
    }

    // Ticks the programs of the check list, goes on through the summary and expects the page
    // named after the install, and the installers in the log.
    void install(const std::vector<std::string>& programs, const std::string& after,
                 const std::string& shotName, const std::vector<std::string>& log) {
        for (const std::string& p : programs) tick(p);
        next();
        expectPage("the summary", "summary");
        next();
        expectPage(after, shotName);
        expectLog(log);
    }

    // Cancel, Yes to the question, then the closing page ends the wizard (its registration box
    // clicked first when its label is given).
    void cancelToTheEnd(const std::string& question, const std::string& click = "") {
        cancelAndConfirm(question);
        expectPage("the closing page", "closing");
        if (!click.empty()) tick(click);
        next();
        expectEnd("the closing page");
    }

    void expectEnd(const std::string& after) {
        if (page_) setup_->waitGone(page_, "the last page");
        setup_->waitExit(after);
        setup_.reset();
        page_ = nullptr;
    }

    // What the installers and programs received during this run must hold every part.
    void expectLog(const std::vector<std::string>& parts) {
        std::string log;
        for (int tries = 0;; ++tries) {  // the last program may still be writing
            log = readFile(log_).substr(logStart_);
            bool all = true;
            for (const std::string& p : parts) all = all && log.find(p) != std::string::npos;
            if (all) return;
            if (tries == 100) break;
            ::Sleep(50);
        }
        for (const std::string& p : parts)
            if (log.find(p) == std::string::npos)
                throw WalkError("the stand-ins' log of this run lacks \"" + p + "\"");
    }

    HWND page() const { return page_; }
    const std::string& scenario() const { return scenario_; }

private:
    void shot(HWND window, const std::string& name) {
        char file[64];
        std::snprintf(file, sizeof file, "%02d-%s-", ++shots_taken_, scenario_.c_str());
        std::string path = shots_ + "\\" + file + name + ".bmp";
        screenshot(window, path);
        std::printf("   %s%s\n", file, name.c_str());
    }

    std::string disc_, shots_, log_, scenario_;
    std::unique_ptr<SetupProcess> setup_;
    HWND page_ = nullptr;
    std::size_t logStart_ = 0;
    int shots_taken_ = 0;
};

void palm(Walk& w) {
    w.start("palm", "English", "Palm OS handheld", "HANDHELD COLLECTION - LICENCE AGREEMENT");
    w.expectPage("the product page", "products");
    w.expectChoices({"Organizer Suite", "Games Pack"});
    w.choose("Organizer Suite");
    w.next();

    const std::vector<std::string> start = {"Complete installation (all programs)",
                                            "Custom installation (choose the programs)",
                                            "Extras: world clock, public holidays, web site",
                                            "Read the introduction",
                                            "Take the guided tour",
                                            "Leave Setup"};
    w.expectPage("the start menu", "start-menu");
    w.expectChoices(start);
    w.choose("Read the introduction");
    w.next();  // opens the page and shows the menu again
    w.expectPage("the start menu after the document", "start-menu-again");
    w.expectLog({"program=Web Browser.exe", "intro.html"});

    w.choose("Custom installation (choose the programs)");
    w.next();
    w.expectPage("the custom installation", "custom-installation");
    w.back();
    w.expectPage("the start menu after Back", "back-to-start-menu");
    w.choose("Extras: world clock, public holidays, web site");
    w.next();
    w.expectPage("the extras", "extras");
    w.choose("World clock: choose your home city");
    w.next();
    w.expectPage("the world clock list", "world-clock");
    w.typeAhead(RADIO_LIST_VIEW_ID, "z", 15);  // Zürich, the last of 16 cities
    w.next();
    w.expectPage("the summary of the world clock", "world-clock-summary");
    w.expectTextHolds(FIRST_CHOICE_ID, "Z\xfcrich");
    w.next();  // installs, then the start menu again
    w.expectPage("the start menu after the install", "start-menu-installed");
    w.expectLog({"program=Palm Install.exe", "clock_zurich.pdb", "exit Palm Install.exe"});

    w.choose("Custom installation (choose the programs)");
    w.next();
    w.expectPage("the custom installation", "custom-choice");
    w.tick("Install Calendar for Palm");
    w.tick("Install Notes for Palm");
    w.next();
    w.expectPage("the summary", "summary");
    w.expectTextHolds(FIRST_CHOICE_ID, "Install Calendar for Palm");
    w.expectTextHolds(FIRST_CHOICE_ID, "Also in the same package, installed with it:");
    w.next();
    w.expectPage("the start menu after the install", "start-menu-after");
    w.expectLog({"calendar.prc", "calendar.pdb", "notes.prc"});

    w.choose("Extras: world clock, public holidays, web site");
    w.next();
    w.expectPage("the extras", "extras-again");
    w.choose("Public holidays for the calendar");
    w.next();
    w.expectPage("the holiday list", "holidays");
    w.typeAhead(CHECK_LIST_VIEW_ID, "g", 10);  // Germany, the first with g
    w.next();
    w.expectPage("the holiday summary", "holidays-summary");
    w.next();
    w.expectPage("the start menu after the holidays", "start-menu-last");
    w.expectLog({"holidays_germany.pdb"});

    w.choose("Leave Setup");
    w.next();
    w.expectPage("the closing page", "closing");
    w.expectChoices({"Register my software on the web now"});
    if (!checked(choice(w.page(), "Register my software on the web now")))
        throw WalkError("the registration box of the closing page is not ticked");
    w.next();
    w.expectEnd("the closing page");
    w.expectLog({"http://example.com/register/organizer"});
}

void pocketPc(Walk& w) {
    w.start("pocketpc", "Deutsch", "Pocket PC", "HANDHELD COLLECTION - LIZENZVERTRAG");
    w.expectPage("the start menu", "start-menu");
    w.choose("Install programs");
    w.next();
    w.expectPage("the programs", "programs");
    w.install({"Calendar f\xfcr Pocket PC installieren",
               "Address Book f\xfcr Pocket PC installieren", "Notes f\xfcr Pocket PC installieren"},
              "the start menu after the install", "start-menu-installed",
              {"program=CEAPPMGR.exe", "calendar.ini", "contacts.ini", "notes.ini"});
    w.cancelToTheEnd("Wollen Sie Setup wirklich verlassen?",
                     "Meine Software jetzt im Web registrieren");  // no registration this time
}

// German users start at a menu of their own; its first option reaches the check list of every
// program through an AUTOMENUOPTION, which goes straight to the summary.
void palmGerman(Walk& w) {
    w.start("palm-de", "Deutsch", "Palm-OS-Handheld", "HANDHELD COLLECTION - LIZENZVERTRAG");
    w.expectPage("the product page", "products");
    w.choose("Organizer Suite");
    w.next();
    w.expectPage("the German start menu", "start-menu");
    w.choose("Vollst\xe4ndige Installation (alle Programme)");
    w.next();
    w.expectPage("the summary of everything", "summary");
    w.expectTextHolds(FIRST_CHOICE_ID, "Expenses f\xfcr Palm installieren");
    w.next();
    w.expectPage("the start menu after the install", "start-menu-installed");
    w.expectLog({"calendar.prc", "contacts.prc", "notes.prc", "expenses.prc", "currency.pdb"});
    w.cancelToTheEnd("Wollen Sie Setup wirklich verlassen?",
                     "Meine Software jetzt im Web registrieren");
}

void epoc(Walk& w) {
    w.start("epoc", "English", "Psion (EPOC)", "HANDHELD COLLECTION - LICENCE AGREEMENT");
    w.expectPage("the start menu", "start-menu");
    w.choose("Install games");
    w.next();
    w.expectPage("the games", "games");
    w.install(
        {"Install Chess for Psion", "Install Backgammon for Psion", "Install Solitaire for Psion"},
        "the start menu after the install", "start-menu-installed",
        {"program=EPOC Install.exe", "chess.sis", "backgammon.sis", "solitaire.sis"});
    w.choose("Play the chess demo on this computer");
    w.next();
    w.expectPage("the demo's copyright page", "copyright");
    w.expectText(FIRST_CHOICE_ID, "CHESS DEMO");
    w.tick("I accept the terms of this licence");
    w.next();  // starts the program; the wizard ends without the closing page
    w.expectEnd("the program start");
    w.expectLog({"program=demo.exe"});
}

void nokia(Walk& w) {
    w.start("n9210", "English", "Nokia 9210 Communicator",
            "HANDHELD COLLECTION - LICENCE AGREEMENT");
    w.expectPage("the games", "games");
    w.install({"Install Chess for Nokia 9210"}, "the games after the install", "games-installed",
              {"program=EPOC Install.exe", "n9210\\chess.sis"});
    w.cancelToTheEnd("Do you really want to leave Setup?");
    w.expectLog({"http://example.com/register/games"});
}

}  // namespace
}  // namespace sample_walk

int main(int argc, char** argv) {
    using namespace sample_walk;
    if (argc != 3) {
        std::fprintf(stderr, "usage: sample_walk DISC_FOLDER SCREENSHOT_FOLDER\n");
        return 2;
    }
    const char* log = std::getenv("STANDIN_LOG");
    if (!log || !*log) {
        std::fprintf(stderr, "sample_walk: STANDIN_LOG names no log\n");
        return 2;
    }
    // The first free letter from D: on.
    char letter = 'd';
    while (letter < 'z' && (::GetLogicalDrives() >> (letter - 'a') & 1)) ++letter;
    testing_support::WineCdRom cd(letter, argv[1]);
    if (!cd.ok() || ::GetDriveTypeA(cd.root().c_str()) != DRIVE_CDROM) {
        std::fprintf(stderr, "sample_walk: %s could not be made a CD-ROM drive\n", argv[1]);
        return 1;
    }
    std::printf("the disc is the CD-ROM drive %s\n", cd.root().c_str());
    Walk walk(cd.root(), argv[2], log);
    try {
        palm(walk);
        palmGerman(walk);
        pocketPc(walk);
        epoc(walk);
        nokia(walk);
    } catch (const WalkError& e) {
        std::fprintf(stderr, "sample_walk: %s: %s\n", walk.scenario().c_str(), e.what());
        if (walk.page()) {
            try {
                screenshot(walk.page(), std::string(argv[2]) + "\\99-failed.bmp");
            } catch (const WalkError&) {
            }
        }
        return 1;
    }
    std::printf("every step passed\n");
    return 0;
}
