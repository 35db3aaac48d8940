#include "run_fixture.h"

namespace {

const std::string EPOC_SCRIPT =
    script({"EPOC", "1", "Psion Games", "1.0", "-", "MENU 0 1", "QUIT", "Leave", "END"});
const std::string PALM_SCRIPT =
    script({"PALM", "1", "Palm Tools", "1.0", "-", "MENU 0 1", "QUIT", "Leave", "END"});

struct ChoiceCase {
    const char* what;
    int languages;
    bool epoc, palm;  // scripts on the disc, with their installers present
    bool startText;   // the language's start-up text exists
    std::vector<UserStep> user;
    const char* trail;  // the pages shown
    bool result;
    int language;           // the language afterwards
    std::vector<int> kept;  // platform codes of the scripts kept
    std::vector<std::string> messages;
};

class StartupChoices : public RunFixture, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(StartupChoices, ShowsThePagesItNeeds) {
    const ChoiceCase& c = GetParam();
    setLanguages(c.languages);
    if (!c.startText) std::filesystem::remove(disc.dir.path() / "rsc" / "start.txt");
    if (c.epoc) addScript("Games", EPOC_SCRIPT);
    if (c.palm) addScript("Tools", PALM_SCRIPT);
    if (!c.epoc && !c.palm) config.installerPresent[2] = true;  // an installer, no scripts
    WizardRun& r = start();
    steps(c.user);

    EXPECT_EQ(r.runStartupChoices(), c.result) << c.what;
    EXPECT_EQ(pages.trail(), c.trail) << c.what;
    EXPECT_EQ(pages.next, c.user.size()) << c.what;
    EXPECT_EQ(config.currentLanguage, c.language) << c.what;
    std::vector<int> kept;
    for (const auto& f : files) kept.push_back(f->first().platformCode);
    if (c.result) {
        EXPECT_EQ(kept, c.kept) << c.what;
    }
    EXPECT_EQ(messageTexts(), c.messages) << c.what;
}

const UserStep NEXT_LANG_1{PageKind::ChoiceRadio, WIZ_NEXT, 1};
const UserStep NEXT_PLATFORM_1{PageKind::ChoiceRadio, WIZ_NEXT, 1};

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupChoices,
    ::testing::Values(
        ChoiceCase{"one of each: no page", 1, true, false, false, {}, "", true, 0, {2}, {}},
        ChoiceCase{"one of each with a start-up text: only that",
                   1,
                   true,
                   false,
                   true,
                   {{PageKind::Accept}},
                   "Accept",
                   true,
                   0,
                   {2},
                   {}},
        ChoiceCase{"second language, second platform; that language has no start-up text",
                   2,
                   true,
                   true,
                   true,
                   {NEXT_LANG_1, NEXT_PLATFORM_1},
                   "ChoiceRadio ChoiceRadio",
                   true,
                   1,
                   {5},
                   {}},
        ChoiceCase{"first language, first platform, start-up text accepted",
                   2,
                   true,
                   true,
                   true,
                   {{PageKind::ChoiceRadio}, {PageKind::ChoiceRadio}, {PageKind::Accept}},
                   "ChoiceRadio ChoiceRadio Accept",
                   true,
                   0,
                   {2},
                   {}},
        ChoiceCase{"language page cancelled",
                   2,
                   true,
                   true,
                   true,
                   {{PageKind::ChoiceRadio, WIZ_CANCEL}},
                   "ChoiceRadio",
                   false,
                   0,
                   {},
                   {}},
        ChoiceCase{"platform page cancelled",
                   1,
                   true,
                   true,
                   true,
                   {{PageKind::ChoiceRadio, WIZ_CANCEL}},
                   "ChoiceRadio",
                   false,
                   0,
                   {},
                   {}},
        ChoiceCase{"start-up text declined",
                   1,
                   true,
                   false,
                   true,
                   {{PageKind::Accept, WIZ_CANCEL}},
                   "Accept",
                   false,
                   0,
                   {},
                   {}},
        ChoiceCase{"no usable platform",
                   1,
                   false,
                   false,
                   true,
                   {{PageKind::Text, WIZ_FINISH}},
                   "Text",
                   false,
                   0,
                   {},
                   {}}));

TEST_F(RunFixture, StartupPagesCarryTheirTexts) {
    setLanguages(2);
    addScript("Games", EPOC_SCRIPT);
    addScript("Tools", PALM_SCRIPT);
    config.installerPresent[1] = true;  // an installer without scripts is not offered
    WizardRun& r = start();
    steps({NEXT_LANG_1, {PageKind::ChoiceRadio}});
    ASSERT_TRUE(r.runStartupChoices());

    const PageRecord& language = page(0);
    EXPECT_EQ(language.topText, "T25");
    EXPECT_EQ(language.caption, "Setup 1.81");
    EXPECT_EQ(language.choices, (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_EQ(language.buttons, BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_EQ(language.preselected, 0);
    // The platform page speaks the chosen language.
    const PageRecord& platform = page(1);
    EXPECT_EQ(platform.topText, "DE T17");
    EXPECT_EQ(platform.choices, (std::vector<std::string>{"DE T12", "DE T15"}));
    EXPECT_EQ(platform.preselected, 0);
    EXPECT_EQ(platform.caption, "Setup 1.81");
}

TEST_F(RunFixture, StartupTextAndNoPlatformPages) {
    WizardRun& r = start();
    steps({{PageKind::Text, WIZ_FINISH}});
    EXPECT_FALSE(r.runStartupChoices());
    EXPECT_EQ(page(0).buttons, BUTTON_FINISH);
    EXPECT_EQ(page(0).topText, "T1");
    EXPECT_EQ(page(0).text, "T20");

    pages.shown.clear();
    pages.next = 0;
    steps({{PageKind::Accept}});
    EXPECT_TRUE(r.showAcceptText(""));
    EXPECT_EQ(page(0).acceptText, "Read me first\r\n");
    EXPECT_EQ(page(0).acceptLabel, "T2");
    EXPECT_EQ(page(0).topText, "T3");
    EXPECT_EQ(page(0).caption, "Setup 1.81");
    EXPECT_EQ(page(0).buttons, BUTTON_NEXT | BUTTON_CANCEL);
    // FINISH is not acceptance; a missing document is no text, hence accepted unseen.
    steps({{PageKind::Accept}, {PageKind::Accept, WIZ_FINISH}});
    EXPECT_FALSE(r.showAcceptText(disc.path("rsc/start.txt")));
    EXPECT_TRUE(r.showAcceptText(disc.path("rsc/missing.txt")));
    EXPECT_EQ(pages.shown.size(), 2u);
}

TEST_F(RunFixture, StartupPageThatCannotBeMadeEndsWithAMessage) {
    setLanguages(2);
    addScript("Games", EPOC_SCRIPT);
    WizardRun& r = start();
    pages.unavailable.insert(PageKind::ChoiceRadio);
    EXPECT_FALSE(r.runStartupChoices());
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Error.\nNot enough memory.\nCannot run Setup."});
}

TEST_F(RunFixture, KeepPlatformKeepsOrderAndRefusesABadIndex) {
    addScript("A", EPOC_SCRIPT);
    addScript("B", PALM_SCRIPT);
    addScript("C", EPOC_SCRIPT);
    WizardRun& r = start();
    EXPECT_FALSE(r.keepPlatform(4));
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error.\n\nCannot run Setup."});
    EXPECT_EQ(files.size(), 3u);
    EXPECT_TRUE(r.keepPlatform(0));
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(std::string(files[0]->first().directory), folder("A"));
    EXPECT_EQ(std::string(files[1]->first().directory), folder("C"));
}

}  // namespace
