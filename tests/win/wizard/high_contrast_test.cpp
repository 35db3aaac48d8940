// A page in Windows' high-contrast mode (forced: Wine does not report it): the system's
// colours instead of the skin, standard push buttons that show their texts and keep their
// ids, mnemonics and states.
#include "wizard_fixture.h"

#include "support/screen_look_win.h"
#include "wizard/check_page.h"

namespace {

using namespace testing_support;

bool anyPixel(const Picture& shown, const RECT& area, std::uint32_t colour) {
    for (int y = area.top; y < area.bottom && y < shown.height; ++y)
        for (int x = area.left; x < area.right && x < shown.width; ++x)
            if (shown.at(x, y) == colour) return true;
    return false;
}

TEST_F(WizardTest, HighContrastPageInSystemColoursWithPushButtons) {
    HighContrastScheme scheme;
    using S = HighContrastScheme;
    Menu* menu = nullptr;
    auto made = choicePage<CheckPage>(false, {"Register my software"}, {1}, menu);
    CheckPage& page = *made;
    page.setChoiceChecked(0, 1);  // marked: Next shows
    page.setCaption("Choose your handheld");
    page.setTopText("Top text of the page");
    page.setSideText("Version 1.0");
    page.setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
    struct Button {
        HWND (WizardWindow::*handle)() const;
        int id;
        const char* text;
        bool visible;
    } buttons[] = {{&WizardWindow::backButton, WIZ_BACK, "&Back", true},
                   {&WizardWindow::nextButton, WIZ_NEXT, "&Next", true},
                   {&WizardWindow::finishButton, WIZ_FINISH, "&Finish", false},
                   {&WizardWindow::cancelButton, WIZ_CANCEL, "&Cancel", true}};
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        RECT client;
        ::GetClientRect(p, &client);
        const Picture shown = captureClient(p);
        saveScreenshot(p, "high_contrast");
        const struct {
            const char* where;
            int x, y;
            std::uint32_t colour;
        } samples[] = {
            {"band", 300, 10, S::HIGHLIGHT},
            {"logo's place", 10, 10, S::HIGHLIGHT},
            {"panel's place", 560, 200, S::WINDOW},
            {"side picture's place", 20, 40, S::WINDOW},
            {"brand's place", 500, 30, S::WINDOW},
            {"below the texts", 100, 355, S::WINDOW},
            {"panel line", client.right - 422, 380, S::WINDOW_TEXT},
        };
        for (const auto& sample : samples)
            EXPECT_EQ(shown.at(sample.x, sample.y), sample.colour) << sample.where;
        EXPECT_TRUE(anyPixel(shown, RECT{40, 0, 200, 20}, S::HIGHLIGHT_TEXT)) << "caption";
        EXPECT_TRUE(anyPixel(shown,
                             RECT{page.topTextRect.left, page.topTextRect.top,
                                  page.topTextRect.right, page.topTextRect.bottom},
                             S::WINDOW_TEXT))
            << "top text";
        EXPECT_TRUE(anyPixel(shown, childRect(::GetDlgItem(p, FIRST_CHOICE_ID)), S::WINDOW_TEXT))
            << "the choice's label";
        EXPECT_TRUE(anyPixel(shown,
                             RECT{page.sideTextRect.left, page.sideTextRect.top,
                                  page.sideTextRect.right, page.sideTextRect.bottom},
                             S::WINDOW_TEXT))
            << "side text";
        for (const Button& b : buttons) {
            SCOPED_TRACE(b.text);
            HWND button = (page.*b.handle)();
            ASSERT_NE(button, nullptr);
            const LONG type = ::GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
            EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << type;
            EXPECT_EQ(windowText(button), b.text);
            EXPECT_EQ(::GetDlgCtrlID(button), b.id);
            EXPECT_EQ(isVisible(button), b.visible);
            if (!b.visible) continue;
            const RECT r = childRect(button);
            EXPECT_EQ(shown.at(r.left + 5, r.top + 4), S::BUTTON_FACE);
            EXPECT_TRUE(anyPixel(shown, r, S::BUTTON_TEXT)) << "its text";
        }
        // The mnemonic still works.
        pressAlt(p, 'B');
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_BACK);
}

}  // namespace
