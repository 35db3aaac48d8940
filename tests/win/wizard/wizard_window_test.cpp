// The skinned page base run for real: layout, skin pixels, navigation by button and key,
// the Cancel question, dragging by the caption band.
#include "wizard_fixture.h"

#include "platform/win32/message_box_win.h"
#include "wizard/text_page.h"

namespace {

using namespace testing_support;

TEST_F(WizardTest, SkinAndButtonsOfAPlainPage) {
    WizardWindow page(env);
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
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        seen.title = windowText(p);
        seen.next = isVisible(page.nextButton());
        seen.finish = isVisible(page.finishButton());
        seen.back = isVisible(page.backButton());
        seen.cancel = isVisible(page.cancelButton());
        seen.nextFocused = focusedControl(p) == page.nextButton();
        RECT client;
        ::GetClientRect(p, &client);
        const Picture shown = captureClient(p);
        seen.band = shown.at(300, 10);
        seen.panel = shown.at(560, 200);
        seen.bar = shown.at(20, 40);
        seen.barBelow = shown.at(20, 345);  // past the picture's own rows
        seen.line = shown.at(client.right - 420 - 2, 380);
        seen.brand = shown.at(500, 30);
        seen.logo = shown.at(10, 30);
        seen.white = shown.at(100, 355);
        seen.nextRect = childRect(page.nextButton());
        seen.backRect = childRect(page.backButton());
        seen.nextButton = shown.at((seen.nextRect.left + seen.nextRect.right) / 2,
                                   (seen.nextRect.top + seen.nextRect.bottom) / 2);
        seen.shot = saveScreenshot(p, "wizard_window");
        pressKey(p, VK_RETURN);
        waitForClose(p);
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

namespace {

// How the user ends a page, and what the page ends with.
TEST_F(WizardTest, ResultsByButtonAndKey) {
    enum Action {
        Enter,
        EnterOnBack,
        EnterOnCancel,
        AltN,
        AltB,
        AltF,
        ClickBack,
        ClickFinish,
        Escape,
        CloseBox
    };
    struct Case {
        const char* name;
        int flags;
        bool confirm;
        Action action;
        int result;
        std::size_t questions;
    } cases[] = {
        {"Enter on Next", BUTTON_NEXT | BUTTON_CANCEL, true, Enter, WIZ_NEXT, 0},
        {"Enter on Back", BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL, true, EnterOnBack, WIZ_BACK,
         0},
        {"Alt+N", BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL, true, AltN, WIZ_NEXT, 0},
        {"Alt+B", BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL, true, AltB, WIZ_BACK, 0},
        {"Alt+F", BUTTON_BACK | BUTTON_FINISH | BUTTON_CANCEL, true, AltF, WIZ_FINISH, 0},
        {"Back clicked", BUTTON_BACK | BUTTON_NEXT, true, ClickBack, WIZ_BACK, 0},
        {"Finish clicked", BUTTON_NEXT | BUTTON_FINISH, true, ClickFinish, WIZ_FINISH, 0},
        {"Escape, confirmed", BUTTON_NEXT | BUTTON_CANCEL, true, Escape, WIZ_CANCEL, 1},
        {"Enter on Cancel", BUTTON_NEXT | BUTTON_CANCEL, true, EnterOnCancel, WIZ_CANCEL, 1},
        {"Escape, no question", BUTTON_NEXT | BUTTON_CANCEL, false, Escape, WIZ_CANCEL, 0},
        {"close box, no question", BUTTON_NEXT, false, CloseBox, WIZ_CANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.questions.clear();
        messages.answer = true;
        WizardWindow page(env);
        page.setButtons(c.flags);
        page.confirmCancel = c.confirm;
        bool nextShown = false, finishShown = false;
        int result = runScripted(page, [&](PageDriver&, HWND p) {
            nextShown = isVisible(page.nextButton());
            finishShown = isVisible(page.finishButton());
            switch (c.action) {
                case Enter: pressKey(p, VK_RETURN); break;
                case EnterOnBack:
                    focusControl(page.backButton());
                    pressKey(p, VK_RETURN);
                    break;
                case EnterOnCancel:
                    focusControl(page.cancelButton());
                    pressKey(p, VK_RETURN);
                    break;
                case AltN: pressAlt(p, 'N'); break;
                case AltB: pressAlt(p, 'B'); break;
                case AltF: pressAlt(p, 'F'); break;
                case ClickBack: clickButton(page.backButton()); break;
                case ClickFinish: clickButton(page.finishButton()); break;
                case Escape: pressKey(p, VK_ESCAPE); break;
                case CloseBox: ::PostMessageA(p, WM_SYSCOMMAND, SC_CLOSE, 0); break;
            }
            waitForClose(p);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(messages.questions.size(), c.questions);
        // Finish stands in Next's place whenever its bit is set.
        EXPECT_EQ(finishShown, (c.flags & BUTTON_FINISH) != 0);
        EXPECT_EQ(nextShown, (c.flags & BUTTON_NEXT) && !(c.flags & BUTTON_FINISH));
    }
}

// The question is asked with text 0, captioned text 1, with the exclamation icon; a No leaves
// the page open as it was, a Yes ends it. Dragging the caption band moves the page, and the
// next page opens where this one was left.
TEST_F(WizardTest, CancelQuestionAndDragging) {
    TextPage page(env);
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page.setText("Line one\r\nLine two");
    RECT before{}, dragged{};
    bool openAfterNo = false, hitCaption = false, hitClient = false;
    std::size_t asked = 0;
    int result = runScripted(page, [&](PageDriver&, HWND p) {
        ::GetWindowRect(p, &before);
        messages.answer = false;
        pressKey(p, VK_ESCAPE);
        waitUntil([&] { return messages.questions.size() == 1; });
        clickButton(page.cancelButton());
        waitUntil([&] { return messages.questions.size() == 2; });
        openAfterNo = ::IsWindowVisible(p) && isVisible(page.cancelButton());
        POINT band{before.left + 300, before.top + 12}, body{before.left + 300, before.top + 60};
        hitCaption = ::SendMessageA(p, WM_NCHITTEST, 0, MAKELPARAM(band.x, band.y)) == HTCAPTION;
        hitClient = ::SendMessageA(p, WM_NCHITTEST, 0, MAKELPARAM(body.x, body.y)) == HTCLIENT;
        // The band follows the mouse to where it was let go.
        dragWindow(p, {300, 10}, 40, 30);
        ::GetWindowRect(p, &dragged);
        asked = messages.questions.size();
        messages.answer = true;
        pressKey(p, VK_ESCAPE);
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_CANCEL);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(asked, 2u);
    ASSERT_EQ(messages.questions.size(), 3u);
    EXPECT_EQ(messages.questions[0].text, "Do you really want to quit Setup?");
    EXPECT_EQ(messages.questions[0].caption, "Wizard Test Setup");
    EXPECT_EQ(messages.questions[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_TRUE(hitCaption);
    EXPECT_TRUE(hitClient);
    EXPECT_EQ(dragged.left, before.left + 40);
    EXPECT_EQ(dragged.top, before.top + 30);
    EXPECT_EQ(config.wizardRect.left, dragged.left);
    EXPECT_EQ(config.wizardRect.top, dragged.top);

    WizardWindow next(env);
    next.setButtons(BUTTON_NEXT);
    RECT opened{};
    EXPECT_EQ(runScripted(next,
                          [&](PageDriver&, HWND p) {
                              ::GetWindowRect(p, &opened);
                              pressKey(p, VK_RETURN);
                              waitForClose(p);
                          }),
              WIZ_NEXT);
    EXPECT_EQ(opened.left, dragged.left);
    EXPECT_EQ(opened.top, dragged.top);
    EXPECT_EQ(opened.right - opened.left, WIZARD_WIDTH);
    EXPECT_EQ(opened.bottom - opened.top, WIZARD_HEIGHT);
}

// Through a real message box: No keeps the page, Yes ends it.
TEST_F(WizardTest, CancelQuestionInAMessageBox) {
    platform::MessageBoxSink boxes;
    WizardWindow page(WizardEnvironment{&config, &boxes});
    page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    std::string text, caption;
    bool openAfterNo = false;
    int result = runScripted(page, [&](PageDriver& d, HWND p) {
        clickButton(page.cancelButton());
        HWND box = d.waitForOwned(p);
        text = messageBoxText(box);
        caption = windowText(box);
        clickButton(box, IDNO);
        waitForClose(box);
        openAfterNo = ::IsWindowVisible(p);
        pressKey(p, VK_ESCAPE);
        box = d.waitForOwned(p);
        clickButton(box, IDYES);
        waitForClose(p);
    });
    EXPECT_EQ(result, WIZ_CANCEL);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(text, "Do you really want to quit Setup?");
    EXPECT_EQ(caption, "Wizard Test Setup");
}

TEST_F(WizardTest, WithoutConfigurationThePageIsNotMade) {
    WizardWindow page(WizardEnvironment{});
    page.setButtons(BUTTON_NEXT);
    EXPECT_EQ(page.runPage(), -1);
}

}  // namespace
