// The acceptance and text pages worked as a user would.
#include "wizard_fixture.h"

#include "wizard/accept_page.h"
#include "wizard/text_page.h"

namespace {

using namespace testing_support;

TEST_F(WizardTest, AcceptPageFlow) {
    AcceptPage page(env);
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

    AcceptPage empty(env);
    EXPECT_FALSE(empty.hasAcceptText());
}

TEST_F(WizardTest, TextPageFlow) {
    TextPage page(env);
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
        boxText = testing_support::windowText(box);
        shot = saveScreenshot(p, "text_page");
        // The box keeps Enter for itself.
        focusControl(box);
        pressKey(p, VK_RETURN);
        pressKey(p, VK_TAB);
        waitUntil([&] { return focusedControl(p) != box; });
        openAfterEnter = ::IsWindowVisible(p);
        pressAlt(p, 'F');  // Alt+F
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_FINISH);
    EXPECT_TRUE(onlyFinish);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(boxText, "Contacts 2.0\r\nCalendar 1.5");
    EXPECT_FALSE(shot.empty());
}

}  // namespace
