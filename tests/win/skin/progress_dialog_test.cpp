// The progress dialog run for real through the sink that Setup.exe uses: caption, text and
// bar, Cancel and closing that only clear the owner's byte, the minimized form with
// "Close Setup".
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <oleacc.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fw/application.h"
#include "resource.h"
#include "skin/dialog_progress_sink.h"
#include "support/accessible_view_win.h"
#include "support/ui_driver_win.h"

namespace {

using testing_support::isVisible;

// Pumps this thread's messages by the dialog's own pump (keys go through it) until the condition
// holds; false on time-out.
bool pumpUntil(const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > testing_support::UI_TIMEOUT_MS) return false;
        if (!fw::pumpWaitingMessages()) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// Each form, opened through the sink that Setup.exe uses: caption, Cancel, the window menu,
// text and bar; each way to cancel only clears the byte, and Enter leaves the window to its
// owner, who still reports to it. The window goes with its display.
TEST(ProgressDialog, ReportsUntilItsOwnerRemovesIt) {
    using Cancel = std::function<void(HWND)>;
    const Cancel clickCancel = [](HWND w) { testing_support::clickButton(w, IDCANCEL); };
    const Cancel escape = [](HWND w) { ::PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0); };
    const Cancel closeSetup = [](HWND w) { ::PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); };
    const Cancel close = [](HWND w) { ::PostMessageA(w, WM_CLOSE, 0, 0); };
    struct Case {
        const char* name;
        const char* title;
        bool hideCancel;
        bool minimized;
        const char* caption;
        std::vector<Cancel> cancels;
        const char* shot;  // the screenshot's state; none of a window in the task bar
        const char* text = "Reading the menus...";
    } cases[] = {
        {"standard", "", false, false, "Setup 1.81", {clickCancel, escape}, "standard"},
        // A Unicode disc's title and text, read back whole through the wide function.
        {"unicode",
         "Установка Ελληνικά 日本語",
         false,
         false,
         "Установка Ελληνικά 日本語",
         {clickCancel},
         "unicode",
         "Чтение меню… 読み込み中"},
        {"minimized",
         "Handheld Collection Setup",
         false,
         true,
         "Handheld Collection Setup",
         {closeSetup},
         nullptr},
        {"archive channel, no Cancel", "", true, false, "Setup 1.81", {close}, "no-cancel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogProgressSink sink;
        platform::ProceedFlag proceed{1};
        auto display = sink.open(&proceed, c.hideCancel, c.title, c.minimized);
        ASSERT_NE(display, nullptr);
        HWND w = testing_support::waitForDialog(::GetCurrentProcessId());
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(testing_support::wideWindowText(w), c.caption);
        EXPECT_TRUE(::IsWindowVisible(w));
        EXPECT_EQ(::IsIconic(w) != FALSE, c.minimized);
        EXPECT_EQ(isVisible(w, IDCANCEL), !c.hideCancel);
        char closeText[64] = "";
        ::GetMenuStringA(::GetSystemMenu(w, FALSE), SC_CLOSE, closeText, sizeof closeText,
                         MF_BYCOMMAND);
        EXPECT_EQ(std::string(closeText) == "Close Setup", c.minimized) << closeText;
        EXPECT_FALSE(isVisible(w, IDC_PROGRESS_BAR));

        display->setText(c.text, 0, 100);
        display->setPos(40);
        EXPECT_EQ(testing_support::wideWindowText(::GetDlgItem(w, IDC_PROGRESS_TEXT)), c.text);
        EXPECT_TRUE(isVisible(w, IDC_PROGRESS_BAR));
        if (c.shot) {
            EXPECT_FALSE(testing_support::saveScreenshot(w, c.shot).empty());
        }
        EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 40);
        EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0), 100);
        display->setText("No bar", 5, 5);
        EXPECT_FALSE(isVisible(w, IDC_PROGRESS_BAR));
        display->setText("No bar", 6, 5);
        EXPECT_FALSE(isVisible(w, IDC_PROGRESS_BAR));
        display->setText("Bar again", 0, 65535);
        EXPECT_TRUE(isVisible(w, IDC_PROGRESS_BAR));

        for (const Cancel& cancel : c.cancels) {
            proceed = 1;
            cancel(w);
            EXPECT_TRUE(pumpUntil([&] { return proceed == 0; }));
            EXPECT_TRUE(::IsWindow(w) && ::IsWindowVisible(w));
        }
        testing_support::pressKey(w, VK_RETURN);
        EXPECT_TRUE(fw::pumpWaitingMessages());
        ASSERT_TRUE(::IsWindow(w));
        EXPECT_EQ(testing_support::windowText(::GetDlgItem(w, IDC_PROGRESS_TEXT)), "Bar again");
        display->setPos(80);
        EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 80);
        display.reset();
        EXPECT_FALSE(::IsWindow(w));
    }
}

// A reader on a thread of its own, this thread answering it meanwhile.
testing_support::AccessibleView readAside(HWND window) {
    testing_support::AccessibleView view;
    bool done = false;
    std::thread reader([&] {
        view = testing_support::readAccessible(window);
        done = true;
    });
    pumpUntil([&] { return done; });
    reader.join();
    return view;
}

// A reader hears the new text and each new whole percent, once, and reads both when it asks.
TEST(ProgressDialog, TellsReadersItsTextAndPercentage) {
    DialogProgressSink sink;
    platform::ProceedFlag proceed{1};
    auto display = sink.open(&proceed, false, "", false);
    ASSERT_NE(display, nullptr);
    HWND w = testing_support::waitForDialog(::GetCurrentProcessId());
    ASSERT_NE(w, nullptr);
    HWND line = ::GetDlgItem(w, IDC_PROGRESS_TEXT), bar = ::GetDlgItem(w, IDC_PROGRESS_BAR);
    testing_support::AccessibleEvents names(EVENT_OBJECT_NAMECHANGE, line),
        values(EVENT_OBJECT_VALUECHANGE, bar);
    struct Step {
        const char* text;
        int high, pos;
        const char* value;
        int names, values;  // events heard so far
    } steps[] = {
        {"Copying Chess...", 200, 90, "45%", 1, 1},
        {"Copying Chess...", 200, 91, "45%", 1, 1},  // nothing new to tell
        {"Copying Chess...", 200, 92, "46%", 1, 2},
        {"Copying Cards...", 400, 184, "46%", 2, 2},
        {"Copying Cards...", 400, 400, "100%", 2, 3},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.pos);
        display->setText(step.text, 0, step.high);
        display->setPos(step.pos);
        EXPECT_TRUE(pumpUntil(
            [&] { return names.count() >= step.names && values.count() >= step.values; }));
        // Later events arrive after earlier ones: an extra one would show by now.
        EXPECT_EQ(names.count(), step.names);
        EXPECT_EQ(values.count(), step.values);
        testing_support::AccessibleView text = readAside(line), percent = readAside(bar);
        EXPECT_EQ(text.name, step.text);
        EXPECT_EQ(percent.role, ROLE_SYSTEM_PROGRESSBAR);
        EXPECT_EQ(percent.value, step.value);
    }
}

}  // namespace
