#include <set>

#include "run_fixture.h"

namespace {

const char* const NO_MEMORY = "Error.\nNot enough memory.\nCannot run Setup.";
const char* const BAD_INSTRUCTION = "Error.\nSetup instruction invalid.\nCannot run Setup.";

// Menu 0 links to a check list (1), to an automatic radio menu (2) and outside the script.
const std::string GAMES = script({"EPOC",
                                  "3",
                                  "%04Games|Psion",
                                  "Version 1.0",
                                  "http://example.com/register",
                                  "MENU 0 4 RADIOBUTTONS",
                                  "TOPTEXT",
                                  "Welcome",
                                  "*",
                                  "BOTTOMTEXT",
                                  "%04Bottom|Psion",
                                  "*",
                                  "MENUOPTION",
                                  "Pick games",
                                  "1",
                                  "AUTOMENUOPTION",
                                  "Quick install",
                                  "2",
                                  "MENUOPTION",
                                  "Nowhere",
                                  "9",
                                  "QUIT",
                                  "Leave",
                                  "MENU 1 4 LIST",
                                  "VERSION",
                                  "%04Version|1",
                                  "*",
                                  "I",
                                  "Chess",
                                  "chess",
                                  "I",
                                  "%04Chess|again",
                                  "CHESS",
                                  "I",
                                  "Cards",
                                  "cards",
                                  "HTMLOPTION",
                                  "Manual",
                                  "manual.htm",
                                  "MENU 2 2 RADIOBUTTONS",
                                  "MENUOPTION",
                                  "Start",
                                  "0",
                                  "I",
                                  "Quick cards",
                                  "cards",
                                  "END"});
const std::string OFFICE = script({"EPOC", "1", "Office", "2.0", "http://example.com/office",
                                   "MENU 0 1 RADIOBUTTONS", "QUIT", "Leave", "END"});

class Run : public RunFixture {
protected:
    WizardRun& startGames() {
        addScript("Games", GAMES);
        addScript("Office", OFFICE);
        WizardRun& r = start();
        r.state().keepRunning = true;
        return r;
    }
    std::string chessCommand(const char* name) const {
        return "epoc.exe " + folder("Games") + "\\EPOC\\" + name + ".sis";
    }
    Menu& activeMenu(int n) { return (*files.at(0))[n]; }
};

TEST_F(Run, InstallsConfirmedOptionsOnceAndEndsWithTheRegistration) {
    WizardRun& r = startGames();
    steps({{PageKind::ChoiceRadio, WIZ_NEXT, 0},
           {PageKind::Radio, WIZ_NEXT, 0},
           {PageKind::CheckList, WIZ_NEXT, -1, {0, 1}},
           {PageKind::Text, WIZ_BACK},
           {PageKind::CheckList, WIZ_NEXT},
           {PageKind::Text, WIZ_NEXT},
           {PageKind::Radio, WIZ_NEXT, 3},
           {PageKind::ChoiceCheck, WIZ_NEXT}});
    r.run();
    EXPECT_EQ(pages.trail(),
              "ChoiceRadio Radio:0 CheckList:1 Text CheckList:1 Text Radio:0 ChoiceCheck");

    const PageRecord& product = page(0);
    EXPECT_EQ(product.choices, (std::vector<std::string>{"Games for Psion", "Office"}));
    EXPECT_EQ(product.topText, "T18");
    EXPECT_EQ(product.caption, "Setup 1.81");
    EXPECT_EQ(product.buttons, BUTTON_NEXT | BUTTON_CANCEL);

    const PageRecord& start = page(1);
    EXPECT_EQ(start.caption, "Games for Psion Setup");
    EXPECT_EQ(start.topText, "Welcome");
    EXPECT_EQ(start.bottomText, "Bottom for Psion");
    EXPECT_EQ(start.sideText, "Version 1.0");
    EXPECT_EQ(start.buttons, BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_EQ(page(2).buttons, BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_EQ(page(2).sideText, "Version for 1");

    // Both labels, then the second again under text 21; the version as written.
    const PageRecord& summary = page(3);
    EXPECT_EQ(summary.text, "Chess\r\nChess for again\r\nT21\r\n\r\nChess for again");
    EXPECT_EQ(summary.topText, "T6");
    EXPECT_EQ(summary.sideText, "%04Version|1");
    EXPECT_EQ(summary.caption, "Games for Psion Setup");
    EXPECT_EQ(summary.buttons, BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    // Back on the summary returns to the list with the marks kept.
    EXPECT_EQ(page(4).marksAtOpen, (std::vector<int>{1, 1, 0, 0}));

    EXPECT_EQ(services.processes.commandLines, std::vector<std::string>{chessCommand("chess")});
    EXPECT_EQ(activeMenu(1).optionSelected[1], 0);  // the duplicate is not installed
    EXPECT_TRUE(r.state().installedSomething);
    // After an install the start menu, without Back.
    EXPECT_EQ(page(6).buttons, BUTTON_NEXT | BUTTON_CANCEL);

    const PageRecord& closing = page(7);
    EXPECT_EQ(closing.topText, "T9");
    EXPECT_EQ(closing.choices, std::vector<std::string>{"T10"});
    EXPECT_EQ(closing.checked, std::vector<int>{1});
    EXPECT_TRUE(closing.allowEmpty);
    EXPECT_FALSE(closing.confirmCancel);
    EXPECT_EQ(closing.buttons, BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_EQ(opened(), std::vector<std::string>{"http://example.com/register|"});

    // The progress thread showed its window minimized, titled text 1, with Cancel.
    ASSERT_FALSE(threadProgress.events.empty());
    EXPECT_EQ(threadProgress.events.front().what, "open");
    EXPECT_EQ(threadProgress.events.front().text, "T1");
    EXPECT_EQ(threadProgress.events.front().a, 0);
    EXPECT_EQ(threadProgress.events.front().b, 1);
    EXPECT_EQ(threadProgress.events.back().what, "close");
    EXPECT_EQ(r.state().docFolder, folder("Games") + "\\EPOC\\");
    EXPECT_TRUE(messageTexts().empty());
}

TEST_F(Run, AutomaticMenusAreSkippedOnTheWayBackAndBackAtTheStartRestarts) {
    WizardRun& r = startGames();
    steps({{PageKind::ChoiceRadio, WIZ_NEXT, 0},
           // The automatic radio menu 2 takes its second option: an install.
           {PageKind::Radio, WIZ_NEXT, 1},
           {PageKind::Text, WIZ_BACK},
           // A link outside the script stays on the menu, one history entry further.
           {PageKind::Radio, WIZ_NEXT, 2},
           {PageKind::Radio, WIZ_BACK},
           {PageKind::Radio, WIZ_BACK},
           // Loaded again: no product page, fresh marks.
           {PageKind::Radio, WIZ_CANCEL},
           {PageKind::ChoiceCheck, WIZ_NEXT, -1, {0}}});
    r.run();
    EXPECT_EQ(pages.trail(),
              "ChoiceRadio Radio:0 Text Radio:0 Radio:0 Radio:0 Radio:0 ChoiceCheck");
    EXPECT_EQ(page(2).text, "Quick cards");
    EXPECT_EQ(page(3).preselected, 1);
    EXPECT_EQ(page(5).preselected, 2);
    EXPECT_EQ(page(6).preselected, 0);
    int fullLoads = 0;
    for (const auto& e : fake.progress.events) fullLoads += e.what == "open";
    EXPECT_EQ(fullLoads, 2);
    EXPECT_EQ(files.size(), 1u);
    EXPECT_TRUE(services.processes.commandLines.empty());
    EXPECT_TRUE(opened().empty());  // the registration box was unchecked
}

TEST_F(Run, FailedInstallsReportEachOptionAndStepBackOneEntry) {
    finder.psionInstallerCommand.clear();  // and the registry has none
    thread.failStart = true;               // the pass runs without its progress window
    WizardRun& r = startGames();
    steps({{PageKind::ChoiceRadio, WIZ_NEXT, 0},
           {PageKind::Radio, WIZ_NEXT, 0},
           {PageKind::CheckList, WIZ_NEXT, -1, {0, 2}},
           {PageKind::Text, WIZ_NEXT},
           {PageKind::CheckList, WIZ_CANCEL},
           {PageKind::ChoiceCheck, WIZ_CANCEL}});
    r.run();
    EXPECT_EQ(pages.trail(), "ChoiceRadio Radio:0 CheckList:1 Text CheckList:1 ChoiceCheck");
    ASSERT_EQ(messageTexts(),
              (std::vector<std::string>{
                  "Could not locate the Psion Installer!", "Could not install Chess (100%d)",
                  "Could not locate the Psion Installer!", "Could not install Cards (100%d)"}));
    EXPECT_EQ(fake.messages.messages[1].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(fake.messages.messages[1].caption, "Setup");
    EXPECT_EQ(page(4).marksAtOpen, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(page(4).buttons, BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_FALSE(r.state().installedSomething);
    EXPECT_TRUE(threadProgress.events.empty());
    EXPECT_TRUE(opened().empty());
}

TEST_F(Run, CancelInTheProgressWindowStopsTheWaitsAndEndsTheRun) {
    WizardRun& r = startGames();
    // Two installers that would run for ever; the user cancels during the first wait.
    services.processes.scripts = {{true, 0, 1000000}, {true, 0, 1000000}};
    threadProgress.cancelAtPump = 1;
    bool posted = false;
    services.processes.onSleep = [&] {
        if (!posted) thread.post([] {});
        posted = true;
        for (int i = 0; i < 10000 && !r.state().cancelRequested; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    steps({{PageKind::ChoiceRadio, WIZ_NEXT, 0},
           {PageKind::Radio, WIZ_NEXT, 0},
           {PageKind::CheckList, WIZ_NEXT, -1, {0, 2}},
           {PageKind::Text, WIZ_NEXT}});
    r.run();
    EXPECT_EQ(pages.trail(), "ChoiceRadio Radio:0 CheckList:1 Text");  // no closing page
    EXPECT_TRUE(r.state().cancelRequested);
    // The remaining option is still handed to its installer; each wait ends after one poll.
    EXPECT_EQ(services.processes.commandLines,
              (std::vector<std::string>{chessCommand("chess"), chessCommand("cards")}));
    EXPECT_EQ(services.processes.sleeps.size(), 2u);
    EXPECT_EQ(threadProgress.events.back().what, "close");
}

TEST_F(Run, CancelOnTheSummaryEndsWithoutTheClosingPage) {
    WizardRun& r = startGames();
    steps({{PageKind::ChoiceRadio, WIZ_NEXT, 0},
           {PageKind::Radio, WIZ_NEXT, 0},
           {PageKind::CheckList, WIZ_NEXT, -1, {2}},
           {PageKind::Text, WIZ_CANCEL}});
    r.run();
    EXPECT_EQ(pages.trail(), "ChoiceRadio Radio:0 CheckList:1 Text");
    EXPECT_FALSE(r.state().installPending);
    EXPECT_EQ(r.state().depth, 1);
    EXPECT_TRUE(services.processes.commandLines.empty());
}

TEST_F(Run, BackThroughOnlyAutomaticMenusToTheStartRestarts) {
    // Menu 1 enters the start menu automatically, which takes its link to the list.
    addScript("Auto", script({"EPOC",
                              "3",
                              "Auto",
                              "1.0",
                              "-",
                              "MENU 0 2 RADIOBUTTONS",
                              "MENUOPTION",
                              "Go",
                              "1",
                              "MENUOPTION",
                              "List",
                              "2",
                              "MENU 1 2 RADIOBUTTONS",
                              "AUTOMENUOPTION",
                              "Again",
                              "0",
                              "QUIT",
                              "Leave",
                              "MENU 2 1 LIST",
                              "I",
                              "Calc",
                              "calc",
                              "END"}));
    WizardRun& r = start();
    r.state().keepRunning = true;
    steps({{PageKind::Radio, WIZ_NEXT, 0},
           {PageKind::Radio, WIZ_NEXT, 0},
           {PageKind::CheckList, WIZ_BACK},
           {PageKind::Radio, WIZ_BACK},
           {PageKind::Radio, WIZ_CANCEL}});
    r.run();
    EXPECT_EQ(pages.trail(), "Radio:0 Radio:1 CheckList:2 Radio:1 Radio:0");
    EXPECT_EQ(page(2).buttons, BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    int fullLoads = 0;
    for (const auto& e : fake.progress.events) fullLoads += e.what == "open";
    EXPECT_EQ(fullLoads, 2);
    EXPECT_EQ(activeMenu(0).autoEntered, 0);  // loaded afresh
}

// ---- documents and programs ----

struct ActionCase {
    const char* what;
    const char* url;
    std::vector<int> marks;
    std::vector<UserStep> after;  // the pages after the check list
    std::vector<std::string> opened;
    bool programStarted;
};

class Actions : public RunFixture, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(Actions, CarryOutDocumentsAndPrograms) {
    const ActionCase& c = GetParam();
    addScript("Tools",
              script({"EPOC", "1", "Tools", "2.0", c.url, "MENU 0 4 LIST", "HTMLOPTION", "Readme",
                      "http://example.com/readme", "EXEOPTION", "Tool", "Tool.exe /Q",
                      "copyright tool.txt", "I", "Calc", "calc", "QUIT", "Leave", "END"}));
    disc.dir.write("Tools/EPOC/tool.txt", "Licence of the tool");
    WizardRun& r = start();
    r.state().keepRunning = true;
    std::vector<UserStep> user{{PageKind::CheckList, WIZ_NEXT, -1, c.marks}};
    user.insert(user.end(), c.after.begin(), c.after.end());
    steps(user);
    r.run();
    EXPECT_EQ(pages.next, user.size()) << c.what << ": " << pages.trail();
    std::vector<std::string> expected;
    for (std::string o : c.opened)
        expected.push_back(o == "{tool}" ? folder("Tools") + "\\EPOC\\tool.exe|/q" : o);
    EXPECT_EQ(opened(), expected) << c.what;
    EXPECT_EQ(r.state().programStarted, c.programStarted) << c.what;
    EXPECT_TRUE(services.processes.commandLines.empty()) << c.what;
    for (const PageRecord& p : pages.shown)
        if (p.kind == PageKind::Accept) {
            EXPECT_EQ(p.acceptText, "Licence of the tool\r\n");
        }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Actions,
    ::testing::Values(ActionCase{"a document, then the closing page",
                                 "http://reg",
                                 {0},
                                 {{PageKind::ChoiceCheck}},
                                 {"http://example.com/readme|", "http://reg|"},
                                 false},
                      ActionCase{"a registration address of - has no closing page",
                                 "-",
                                 {0},
                                 {},
                                 {"http://example.com/readme|"},
                                 false},
                      ActionCase{"an accepted program starts and skips the closing page",
                                 "http://reg",
                                 {1},
                                 {{PageKind::Accept}},
                                 {"{tool}"},
                                 true},
                      ActionCase{"a declined program does not start",
                                 "http://reg",
                                 {1},
                                 {{PageKind::Accept, WIZ_CANCEL}, {PageKind::ChoiceCheck}},
                                 {"http://reg|"},
                                 false},
                      ActionCase{"quit ends the loop; the document before it still opens",
                                 "http://reg",
                                 {0, 3},
                                 {{PageKind::ChoiceCheck, WIZ_CANCEL}},
                                 {"http://example.com/readme|"},
                                 false},
                      ActionCase{"quit after an install drops it: no summary, the closing page",
                                 "http://reg",
                                 {2, 3},
                                 {{PageKind::ChoiceCheck}},
                                 {"http://reg|"},
                                 false}));

}  // namespace

namespace {

// ---- what goes wrong ----

struct FaultCase {
    const char* what;
    std::vector<std::string> scripts;  // one product folder each
    std::set<PageKind> unavailable;
    std::vector<UserStep> user;
    const char* trail;
    std::vector<std::string> messages;
    std::vector<std::string> opened = {};
};

class Faults : public RunFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(Faults, EndAsTheFailureTableSays) {
    const FaultCase& c = GetParam();
    for (std::size_t i = 0; i < c.scripts.size(); ++i) addScript(numbered("P", i), c.scripts[i]);
    WizardRun& r = start();
    r.state().keepRunning = true;
    pages.unavailable = c.unavailable;
    steps(c.user);
    r.run();
    EXPECT_EQ(pages.trail(), c.trail) << c.what;
    EXPECT_EQ(pages.next, c.user.size()) << c.what;
    EXPECT_EQ(messageTexts(), c.messages) << c.what;
    EXPECT_EQ(opened(), c.opened) << c.what;
}

std::string radioScript(const char* url, std::vector<std::string> body) {
    std::string s = script({"PALM", "1", "Tools", "1.0", url});
    for (const auto& l : body) s += l + "\r\n";
    return s;
}

std::vector<std::string> many(int products) {
    std::vector<std::string> out;
    for (int i = 0; i < products; ++i)
        out.push_back(radioScript("-", {"MENU 0 1 RADIOBUTTONS", "QUIT", numbered("P", i), "END"}));
    return out;
}

std::vector<std::string> options(const char* keyword, int count) {
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(keyword);
        out.push_back(numbered("Option ", i));
        if (std::string(keyword) != "QUIT") out.push_back(numbered("x", i));
    }
    return out;
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const UserStep CLOSE{PageKind::ChoiceCheck, WIZ_CANCEL};

INSTANTIATE_TEST_SUITE_P(
    Cases, Faults,
    ::testing::Values(
        FaultCase{"a start menu outside the script",
                  {radioScript("http://reg", {"MENU_FOR_LANGUAGE 0 5", "MENU 0 1 RADIOBUTTONS",
                                              "QUIT", "Leave", "END"})},
                  {},
                  {CLOSE},
                  "ChoiceCheck",
                  {BAD_INSTRUCTION}},
        FaultCase{"a link to a menu the script counted but never declared",
                  {script({"PALM", "2", "Tools", "1.0", "-", "MENU 0 1 RADIOBUTTONS", "MENUOPTION",
                           "On", "1", "MENU 0 1 RADIOBUTTONS", "MENUOPTION", "On", "1", "END"})},
                  {},
                  {{PageKind::Radio, WIZ_NEXT, 0}},
                  "Radio:0",
                  {BAD_INSTRUCTION}},
        FaultCase{"automatic menus that lead to each other for ever",
                  {script({"PALM", "3",     "Tools",          "1.0", "-", "MENU 0 2 RADIOBUTTONS",
                           "QUIT", "Leave", "AUTOMENUOPTION", "Go",  "1", "MENU 1 2 RADIOBUTTONS",
                           "QUIT", "Leave", "AUTOMENUOPTION", "Go",  "2", "MENU 2 2 RADIOBUTTONS",
                           "QUIT", "Leave", "AUTOMENUOPTION", "Go",  "1", "END"})},
                  {},
                  {{PageKind::Radio, WIZ_NEXT, 1}},
                  "Radio:0",
                  {BAD_INSTRUCTION}},
        FaultCase{"an automatic menu that takes a document opens it once, then is shown",
                  {script({"PALM", "2", "Tools", "1.0", "-", "MENU 0 1 RADIOBUTTONS",
                           "AUTOMENUOPTION", "Go", "1", "MENU 1 2 RADIOBUTTONS", "QUIT", "Leave",
                           "HTMLOPTION", "Guide", "http://example.com/guide", "END"})},
                  {},
                  {{PageKind::Radio, WIZ_NEXT, 0}, {PageKind::Radio, WIZ_CANCEL}},
                  "Radio:0 Radio:1",
                  {},
                  {"http://example.com/guide|"}},
        FaultCase{
            "a script whose full load fails shows no page",
            {radioScript("http://reg", {"MENU 0 1 RADIOBUTTONS", "QUIT", "Leave", "BOGUS", "END"})},
            {},
            {},
            "",
            {"Unknown menu keyword"}},
        FaultCase{"a menu page that cannot be made ends the loop",
                  {radioScript("http://reg", {"MENU 0 1 RADIOBUTTONS", "QUIT", "Leave", "END"})},
                  {PageKind::Radio},
                  {CLOSE},
                  "ChoiceCheck",
                  {NO_MEMORY}},
        FaultCase{"a summary page that cannot be made ends the loop",
                  {radioScript("http://reg", {"MENU 0 1 LIST", "I", "Calc", "calc", "END"})},
                  {PageKind::Text},
                  {{PageKind::CheckList, WIZ_NEXT, -1, {0}}, CLOSE},
                  "CheckList:0 ChoiceCheck",
                  {NO_MEMORY}},
        FaultCase{"a product page that cannot be made ends the run",
                  many(2),
                  {PageKind::ChoiceRadio},
                  {},
                  "",
                  {NO_MEMORY}},
        FaultCase{"more products than the choice page holds come as a list",
                  many(13),
                  {},
                  {{PageKind::RadioListView, WIZ_NEXT, 12}, {PageKind::Radio, WIZ_NEXT, 0}},
                  "RadioListView:0 Radio:0",
                  {}},
        FaultCase{
            "20 check-list options come as a list, 19 as boxes",
            {radioScript("-", concat({"MENU 0 20 LIST"}, concat(options("QUIT", 20), {"END"})))},
            {},
            {{PageKind::CheckListView}},
            "CheckListView:0",
            {}},
        FaultCase{
            "19 check-list options",
            {radioScript("-", concat({"MENU 0 19 LIST"}, concat(options("QUIT", 19), {"END"})))},
            {},
            {{PageKind::CheckList, WIZ_NEXT, -1, {0}}},
            "CheckList:0",
            {}},
        FaultCase{"12 radio options come as a list",
                  {radioScript("-", concat({"MENU 0 12 RADIOBUTTONS"},
                                           concat(options("QUIT", 12), {"END"}))),
                   radioScript("-", concat({"MENU 0 11 RADIOBUTTONS"},
                                           concat(options("QUIT", 11), {"END"})))},
                  {},
                  {{PageKind::ChoiceRadio}, {PageKind::RadioListView}},
                  "ChoiceRadio RadioListView:0",
                  {}}));

TEST_F(Run, AProductChosenFromTheListIsTheOneLoaded) {
    for (int i = 0; i < 13; ++i)
        addScript(numbered("P", i), script({"PALM", "1", (numbered("%04Tools|", i)).c_str(), "1.0",
                                            "-", "MENU 0 1 RADIOBUTTONS", "QUIT", "Leave", "END"}));
    WizardRun& r = start();
    r.state().keepRunning = true;
    steps({{PageKind::RadioListView, WIZ_NEXT, 12}, {PageKind::Radio, WIZ_NEXT, 0}});
    r.run();
    EXPECT_EQ(page(0).topText, "T18");
    EXPECT_EQ(page(0).caption, "Setup 1.81");
    EXPECT_EQ(page(1).caption, "Tools for 12 Setup");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::string(files[0]->first().directory), folder("P12"));
}

}  // namespace
