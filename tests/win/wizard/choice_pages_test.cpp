// The choice, acceptance and text pages worked as a user would.
#include "wizard_fixture.h"

#include "wizard/accept_page.h"
#include "wizard/choice_check_page.h"
#include "wizard/choice_radio_page.h"
#include "wizard/text_page.h"

namespace {

using testing_support::PageDriver;

TEST_F(WizardTest, ChoiceRadioPageFlow) {
    ChoiceRadioPage early;
    early.selectChoice(1);  // before any choice: no effect
    EXPECT_EQ(early.selectedChoice(), 0);

    ChoiceRadioPage page;
    page.setTopText("Please choose your language.");
    for (const char* s : {"English", "Deutsch",
                          "Fran\xE7"
                          "ais"})
        page.addChoice(s);
    page.selectChoice(2);
    page.selectChoice(3);  // out of range: ignored
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    bool startChecked = false, startFocused = false;
    std::string shot;
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        HWND b0 = ::GetDlgItem(p, FIRST_CHOICE_ID), b2 = ::GetDlgItem(p, FIRST_CHOICE_ID + 2);
        startChecked = d.checked(b2);
        startFocused = d.focused() == b2;
        shot = d.screenshot(p, "choice_radio_page");
        d.click(b0);
        d.waitUntil([&] { return d.checked(b0) && !d.checked(b2); });
        d.key('N', false, false, true);  // Alt+N
        d.waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_TRUE(startChecked);
    EXPECT_TRUE(startFocused);
    EXPECT_EQ(page.selectedChoice(), 0);
    EXPECT_FALSE(shot.empty());
}

TEST_F(WizardTest, ChoiceCheckPageFlows) {
    struct Case {
        const char* name;
        bool checkedAtStart, allowEmpty;
        bool finishAtStart, finishAfterToggle, finishAfterSecondToggle;
    } cases[] = {
        // The closing page: one box, checked, allowEmpty.
        {"checked, allowEmpty", true, true, true, true, true},
        {"unchecked, allowEmpty", false, true, false, true, true},
        {"unchecked", false, false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChoiceCheckPage page;
        page.setTopText("Setup has finished.");
        page.addChoice("Register my software on the web");
        page.setChoiceChecked(0, c.checkedAtStart ? 1 : 0);
        page.setChoiceChecked(1, 1);  // no such choice
        page.allowEmpty = c.allowEmpty;
        page.setButtons(BUTTON_FINISH);
        bool atStart = false, afterToggle = false, afterSecond = false;
        int stateAfterToggle = -1, limit = 0, expectedLimit = 0;
        std::string shot;
        int result = runScripted(page, [&](PageDriver& d, HWND p) {
            HWND box = ::GetDlgItem(p, FIRST_CHOICE_ID);
            limit = page.topTextLimit;
            expectedLimit = choiceBlockTop(page.contentRect, 1, page.lineHeight);
            atStart = d.visible(page.finishButton());
            if (c.checkedAtStart) shot = d.screenshot(p, "choice_check_page");
            d.click(box);
            d.waitUntil([&] { return d.checked(box) != c.checkedAtStart; });
            afterToggle = d.visible(page.finishButton());
            stateAfterToggle = page.isChoiceChecked(0);
            d.click(box);
            d.waitUntil([&] { return d.checked(box) == c.checkedAtStart; });
            afterSecond = d.visible(page.finishButton());
            if (!afterSecond) d.click(box);
            d.waitUntil([&] { return d.visible(page.finishButton()); });
            d.click(page.finishButton());
            d.waitForClose(p);
        });
        EXPECT_EQ(result, WIZ_FINISH);
        EXPECT_EQ(atStart, c.finishAtStart);
        EXPECT_EQ(afterToggle, c.finishAfterToggle);
        EXPECT_EQ(afterSecond, c.finishAfterSecondToggle);
        EXPECT_EQ(stateAfterToggle, c.checkedAtStart ? 0 : 1);
        EXPECT_EQ(limit, expectedLimit);
        EXPECT_EQ(page.isChoiceChecked(1), 0);
        if (c.checkedAtStart) EXPECT_FALSE(shot.empty());
    }
}

TEST_F(WizardTest, AcceptPageFlow) {
    AcceptPage page;
    page.setCaption("Setup 1.81");
    page.setTopText("Please read the agreement.");
    std::string text;
    for (int i = 1; i <= 40; ++i) text += "Clause " + std::to_string(i) + " of the agreement.\r\n";
    page.setAcceptText(text);
    page.setAcceptLabel("I accept the agreement");
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    EXPECT_TRUE(page.hasAcceptText());
    bool nextAtStart = true, focusOnBox = false, openAfterEnter = false, nextFocused = false,
         nextAfterUncheck = true;
    std::uint32_t boxBackground = 0;
    std::string shot;
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        HWND box = ::GetDlgItem(p, IDC_ACCEPT_CHECK);
        nextAtStart = d.visible(page.nextButton());
        focusOnBox = d.focused() == box;
        RECT r = d.childRect(box);
        boxBackground = d.pixel(p, r.right - 6, (r.top + r.bottom) / 2);
        shot = d.screenshot(p, "accept_page");
        d.key(VK_RETURN);  // not accepted yet: nothing
        d.key(VK_SPACE);
        d.waitUntil([&] { return d.checked(box); });
        openAfterEnter = ::IsWindowVisible(p);
        d.waitUntil([&] { return d.focused() == page.nextButton(); });
        nextFocused = d.focused() == page.nextButton();
        d.click(box);
        d.waitUntil([&] { return !d.checked(box); });
        nextAfterUncheck = d.visible(page.nextButton());
        d.click(box);
        d.waitUntil([&] { return d.visible(page.nextButton()); });
        d.key(VK_RETURN);
        d.waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_FALSE(nextAtStart);
    EXPECT_TRUE(focusOnBox);
    EXPECT_EQ(boxBackground, 0xFFFFFFu);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_TRUE(nextFocused);
    EXPECT_FALSE(nextAfterUncheck);
    EXPECT_FALSE(shot.empty());

    AcceptPage empty;
    EXPECT_FALSE(empty.hasAcceptText());
}

TEST_F(WizardTest, TextPageFlow) {
    TextPage page;
    page.setCaption("Summary");
    page.setTopText("The following software will be installed:");
    page.setText("Contacts 2.0\r\nCalendar 1.5");
    page.setButtons(BUTTON_FINISH);
    bool onlyFinish = false, openAfterEnter = false;
    std::string boxText, shot;
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        HWND box = ::GetDlgItem(p, FIRST_CHOICE_ID);
        onlyFinish = d.visible(page.finishButton()) && !d.visible(page.nextButton()) &&
                     !d.visible(page.cancelButton()) && !d.visible(page.backButton());
        boxText = testing_support::windowText(box);
        shot = d.screenshot(p, "text_page");
        // The box keeps Enter for itself.
        d.focus(p, box);
        d.key(VK_RETURN);
        d.key(VK_TAB);
        d.waitUntil([&] { return d.focused() != box; });
        openAfterEnter = ::IsWindowVisible(p);
        d.key('F', false, false, true);  // Alt+F
        d.waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_FINISH);
    EXPECT_TRUE(onlyFinish);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(boxText, "Contacts 2.0\r\nCalendar 1.5");
    EXPECT_FALSE(shot.empty());
}

}  // namespace
