// The progress dialog run for real: caption, text and bar, Cancel and closing that only clear
// the owner's byte, the minimized form with "Close Setup", and the sink that Setup.exe uses.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "resource.h"
#include "skin/dialog_progress_sink.h"
#include "skin/progress_dialog.h"
#include "support/ui_driver_win.h"

namespace {

using testing_support::isVisible;

// Pumps this thread's messages by the dialog's own pump (keys go through it) until the condition
// holds; false on time-out.
bool pumpUntil(const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > testing_support::UI_TIMEOUT_MS) return false;
        if (!pumpMessages()) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

TEST(ProgressDialog, TextBarAndCancel) {
    platform::ProceedFlag proceed{1};
    ProgressDialog dialog(&proceed, false, "", false);
    ASSERT_TRUE(dialog.created());
    HWND w = dialog.hwnd();
    EXPECT_EQ(testing_support::windowText(w), "Setup 1.81");
    EXPECT_TRUE(::IsWindowVisible(w));
    EXPECT_FALSE(::IsIconic(w));
    EXPECT_TRUE(isVisible(w, IDCANCEL));
    EXPECT_FALSE(isVisible(w, IDC_PROGRESS_BAR));

    dialog.setText("Reading the menus...", 0, 100);
    dialog.setPos(40);
    EXPECT_EQ(testing_support::windowText(::GetDlgItem(w, IDC_PROGRESS_TEXT)),
              "Reading the menus...");
    EXPECT_TRUE(isVisible(w, IDC_PROGRESS_BAR));
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 40);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE, 0), 100);
    dialog.setText("No bar", 5, 5);
    EXPECT_FALSE(isVisible(w, IDC_PROGRESS_BAR));
    dialog.setText("No bar", 6, 5);
    EXPECT_FALSE(isVisible(w, IDC_PROGRESS_BAR));
    dialog.setText("Bar again", 0, 65535);
    EXPECT_TRUE(isVisible(w, IDC_PROGRESS_BAR));

    // Cancel, then the Escape key: the byte is cleared, the window stays as it was.
    testing_support::clickButton(w, IDCANCEL);
    EXPECT_TRUE(pumpUntil([&] { return proceed == 0; }));
    proceed = 1;
    ::PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(pumpUntil([&] { return proceed == 0; }));
    EXPECT_TRUE(::IsWindow(w) && ::IsWindowVisible(w));
    EXPECT_EQ(testing_support::windowText(::GetDlgItem(w, IDC_PROGRESS_TEXT)), "Bar again");
}

TEST(ProgressDialog, MinimizedWithCloseSetup) {
    platform::ProceedFlag proceed{1};
    ProgressDialog dialog(&proceed, false, "Handheld Collection Setup", true);
    ASSERT_TRUE(dialog.created());
    HWND w = dialog.hwnd();
    EXPECT_EQ(testing_support::windowText(w), "Handheld Collection Setup");
    EXPECT_TRUE(::IsIconic(w));
    HMENU menu = ::GetSystemMenu(w, FALSE);
    char text[64] = "";
    ::GetMenuStringA(menu, SC_CLOSE, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Close Setup");
    ::PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(pumpUntil([&] { return proceed == 0; }));
    EXPECT_TRUE(::IsWindow(w));
}

// The archive channel's form: no Cancel; closing clears the byte nobody looks at and the
// window stays. The sink removes the window with its display.
TEST(ProgressDialog, SinkWithoutCancel) {
    const char* const ARCHIVE_TEXT = "Unpacking APK files...";
    DialogProgressSink sink;
    platform::ProceedFlag proceed{1};
    auto display = sink.open(&proceed, true, "", false);
    ASSERT_NE(display, nullptr);
    HWND w = testing_support::waitForDialog(::GetCurrentProcessId());
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(isVisible(w, IDCANCEL));
    display->setText(ARCHIVE_TEXT, 0, 100);
    display->setPos(66);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 66);
    ::PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return proceed == 0; }));
    EXPECT_TRUE(::IsWindowVisible(w));
    // Enter, with no Cancel to press, leaves the window to its owner, who still reports to it.
    testing_support::pressKey(w, VK_RETURN);
    EXPECT_TRUE(pumpMessages());
    ASSERT_TRUE(::IsWindow(w));
    display->setText(ARCHIVE_TEXT, 0, 100);
    display->setPos(80);
    EXPECT_EQ(::SendDlgItemMessageA(w, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0), 80);
    display.reset();
    EXPECT_FALSE(::IsWindow(w));
}

// A quit request met while pumping is handed on to the main loop.
TEST(ProgressDialog, PumpingKeepsTheQuitRequest) {
    EXPECT_TRUE(pumpMessages());
    ::PostQuitMessage(3);
    EXPECT_FALSE(pumpMessages());
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

}  // namespace
