// The acceptance and text pages worked as a user would.
#include "wizard_fixture.h"

#include "wizard/accept_page.h"
#include "wizard/text_page.h"

namespace {

using testing_support::PageDriver;

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
