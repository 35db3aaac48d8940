// The choice, acceptance and text pages worked as a user would.
#include "wizard_fixture.h"

#include "wizard/accept_page.h"
#include "wizard/choice_check_page.h"
#include "wizard/choice_radio_page.h"
#include "wizard/text_page.h"

namespace {

using namespace testing_support;

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
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND b0 = ::GetDlgItem(p, FIRST_CHOICE_ID), b2 = ::GetDlgItem(p, FIRST_CHOICE_ID + 2);
        startChecked = isChecked(b2);
        startFocused = focusedControl(p) == b2;
        shot = saveScreenshot(p, "choice_radio_page");
        clickButton(b0);
        waitUntil([&] { return isChecked(b0) && !isChecked(b2); });
        pressAlt(p, 'N');
        waitForClose(p);
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
        int result = runScripted(page, [&](PageDriver&, HWND p) {
            HWND box = ::GetDlgItem(p, FIRST_CHOICE_ID);
            limit = page.topTextLimit;
            expectedLimit = choiceBlockTop(page.contentRect, 1, page.lineHeight);
            atStart = isVisible(page.finishButton());
            if (c.checkedAtStart) shot = saveScreenshot(p, "choice_check_page");
            clickButton(box);
            waitUntil([&] { return isChecked(box) != c.checkedAtStart; });
            afterToggle = isVisible(page.finishButton());
            stateAfterToggle = page.isChoiceChecked(0);
            clickButton(box);
            waitUntil([&] { return isChecked(box) == c.checkedAtStart; });
            afterSecond = isVisible(page.finishButton());
            if (!afterSecond) clickButton(box);
            waitUntil([&] { return isVisible(page.finishButton()); });
            clickButton(page.finishButton());
            waitForClose(p);
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
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND box = ::GetDlgItem(p, IDC_ACCEPT_CHECK);
        nextAtStart = isVisible(page.nextButton());
        focusOnBox = focusedControl(p) == box;
        RECT r = childRect(box);
        boxBackground = captureClient(p).at(r.right - 6, (r.top + r.bottom) / 2);
        shot = saveScreenshot(p, "accept_page");
        pressKey(p, VK_RETURN);  // not accepted yet: nothing
        pressKey(p, VK_SPACE);
        waitUntil([&] { return isChecked(box); });
        openAfterEnter = ::IsWindowVisible(p);
        waitUntil([&] { return focusedControl(p) == page.nextButton(); });
        nextFocused = focusedControl(p) == page.nextButton();
        clickButton(box);
        waitUntil([&] { return !isChecked(box); });
        nextAfterUncheck = isVisible(page.nextButton());
        clickButton(box);
        waitUntil([&] { return isVisible(page.nextButton()); });
        pressKey(p, VK_RETURN);
        waitForClose(p);
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
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        HWND box = ::GetDlgItem(p, FIRST_CHOICE_ID);
        onlyFinish = isVisible(page.finishButton()) && !isVisible(page.nextButton()) &&
                     !isVisible(page.cancelButton()) && !isVisible(page.backButton());
        boxText = windowText(box);
        shot = saveScreenshot(p, "text_page");
        // The box keeps Enter for itself.
        focusControl(box);
        pressKey(p, VK_RETURN);
        pressKey(p, VK_TAB);
        waitUntil([&] { return focusedControl(p) != box; });
        openAfterEnter = ::IsWindowVisible(p);
        pressAlt(p, 'F');
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_FINISH);
    EXPECT_TRUE(onlyFinish);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(boxText, "Contacts 2.0\r\nCalendar 1.5");
    EXPECT_FALSE(shot.empty());
}

}  // namespace
