// The skinned page base run for real: layout, skin pixels, navigation by button and key,
// the Cancel question, dragging by the caption band.
#include "wizard_fixture.h"

#include "wizard/text_page.h"

namespace {

using testing_support::PageDriver;

TEST_F(WizardTest, SkinAndButtonsOfAPlainPage) {
    WizardWindow page;
    page.setCaption("Choose your handheld");
    page.setTopText("Top text of the page");
    page.setBottomText("Bottom text");
    page.setSideText("Version 1.0");
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    struct Seen {
        std::string title, shot;
        bool next = false, finish = true, back = true, cancel = false, nextFocused = false;
        std::uint32_t band = 0, panel = 0, bar = 0, barBelow = 0, line = 0, brand = 0, logo = 0,
                      nextButton = 0, white = 0;
        RECT nextRect{}, backRect{};
    } seen;
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        seen.title = testing_support::windowText(p);
        seen.next = d.visible(page.nextButton());
        seen.finish = d.visible(page.finishButton());
        seen.back = d.visible(page.backButton());
        seen.cancel = d.visible(page.cancelButton());
        seen.nextFocused = d.focused() == page.nextButton();
        RECT client;
        ::GetClientRect(p, &client);
        seen.band = d.pixel(p, 300, 10);
        seen.panel = d.pixel(p, 560, 200);
        seen.bar = d.pixel(p, 20, 40);
        seen.barBelow = d.pixel(p, 20, 345);  // past the picture's own rows
        seen.line = d.pixel(p, client.right - 420 - 2, 380);
        seen.brand = d.pixel(p, 500, 30);
        seen.logo = d.pixel(p, 10, 30);
        seen.white = d.pixel(p, 100, 355);
        seen.nextRect = d.childRect(page.nextButton());
        seen.backRect = d.childRect(page.backButton());
        seen.nextButton = d.pixel(p, (seen.nextRect.left + seen.nextRect.right) / 2,
                                  (seen.nextRect.top + seen.nextRect.bottom) / 2);
        seen.shot = d.screenshot(p, "wizard_window");
        d.key(VK_RETURN);
        d.waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_NEXT);
    EXPECT_EQ(seen.title, "Wizard Test Setup");
    EXPECT_TRUE(seen.next);
    EXPECT_FALSE(seen.finish);
    EXPECT_FALSE(seen.back);
    EXPECT_TRUE(seen.cancel);
    EXPECT_TRUE(seen.nextFocused);
    EXPECT_EQ(seen.band, skin_colour::CAPTION);
    EXPECT_EQ(seen.panel, skin_colour::PANEL);
    EXPECT_EQ(seen.bar, skin_colour::BAR);
    EXPECT_EQ(seen.barBelow, 0x000000u);
    EXPECT_EQ(seen.line, 0x000000u);
    EXPECT_EQ(seen.brand, skin_colour::BRAND);
    EXPECT_EQ(seen.logo, skin_colour::LOGO);
    EXPECT_EQ(seen.white, 0xFFFFFFu);
    EXPECT_EQ(seen.nextButton, skin_colour::NEXT_FOCUS);
    // Three 110-pixel slots ending at x = 600; Back's rectangle stays empty without its bit.
    EXPECT_EQ(seen.nextRect.left, 395);
    EXPECT_EQ(seen.nextRect.top, 362);
    EXPECT_EQ(seen.backRect.right - seen.backRect.left, 0);
    EXPECT_FALSE(seen.shot.empty());
}

}  // namespace
