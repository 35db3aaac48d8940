// The dialog templates linked into the programs, as the windows built on them expect them,
// and the driver's look-up of a window by its template.
#include <gtest/gtest.h>
#include <windows.h>

#include "fw/dialog.h"
#include "resource.h"
#include "support/dialog_template_win.h"
#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;

struct Item {
    int id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
    DWORD styleBits;  // must be set
    bool visible;
};

TEST(Resources, TemplatesHoldWhatTheirWindowsExpect) {
    constexpr DWORD FRAME = WS_POPUP | DS_MODALFRAME;
    struct Case {
        int id;
        DWORD style, exStyle;
        short cx, cy;
        const char* caption;
        std::vector<Item> items;
    } cases[] = {
        {IDD_WIZARD_PAGE, FRAME, WS_EX_APPWINDOW, 400, 280, "", {}},
        {IDD_SPLASH,
         FRAME,
         0,
         449,
         326,
         "",
         {{IDOK, "BUTTON", "OK", 392, 7, 50, 14, BS_DEFPUSHBUTTON, true},
          {IDCANCEL, "BUTTON", "Cancel", 392, 24, 50, 14, 0, true}}},
        {IDD_PROGRESS,
         FRAME | WS_CAPTION | WS_SYSMENU,
         0,
         186,
         77,
         "Setup %s",
         {{IDCANCEL, "BUTTON", "Cancel", 65, 56, 50, 14, WS_TABSTOP, true},
          {IDC_PROGRESS_BAR, "msctls_progress32", "", 3, 32, 179, 18, WS_BORDER, false},
          {IDC_PROGRESS_TEXT, "STATIC", "", 4, 3, 177, 23, SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN,
           true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        auto t = readDialogTemplate(c.id);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->style & (FRAME | WS_CAPTION | WS_SYSMENU | WS_CHILD), c.style);
        EXPECT_EQ(t->exStyle, static_cast<DWORD>(c.exStyle));
        EXPECT_EQ(t->cx, c.cx);
        EXPECT_EQ(t->cy, c.cy);
        EXPECT_EQ(t->caption, c.caption);
        EXPECT_EQ(t->font, "MS Sans Serif");
        EXPECT_EQ(t->pointSize, 8);
        ASSERT_EQ(t->items.size(), c.items.size());
        for (std::size_t i = 0; i < c.items.size(); ++i) {
            const TemplateItem& got = t->items[i];
            const Item& want = c.items[i];
            SCOPED_TRACE(want.id);
            EXPECT_EQ(got.id, want.id);
            EXPECT_STRCASEEQ(got.className.c_str(), want.className);
            EXPECT_EQ(got.text, want.text);
            EXPECT_EQ(std::vector<short>({got.x, got.y, got.cx, got.cy}),
                      std::vector<short>({want.x, want.y, want.cx, want.cy}));
            EXPECT_EQ(got.style & want.styleBits, want.styleBits);
            EXPECT_EQ((got.style & WS_VISIBLE) != 0, want.visible);
        }
    }
}

TEST(Resources, DriverFindsAWindowByItsTemplate) {
    fw::Dialog progress(IDD_PROGRESS), page(IDD_WIZARD_PAGE), splash(IDD_SPLASH);
    ASSERT_TRUE(progress.create());
    ASSERT_TRUE(page.create());
    ASSERT_TRUE(splash.create());
    for (HWND w : {progress.hwnd(), page.hwnd(), splash.hwnd()}) ::ShowWindow(w, SW_SHOWNA);
    auto found = [](int id) { return findWindows(WindowQuery::fromTemplate(0, id)); };
    EXPECT_EQ(found(IDD_PROGRESS), std::vector<HWND>{progress.hwnd()});
    EXPECT_EQ(found(IDD_SPLASH), std::vector<HWND>{splash.hwnd()});
    EXPECT_EQ(found(IDD_WIZARD_PAGE), std::vector<HWND>{page.hwnd()});
    EXPECT_FALSE(isVisible(progress.hwnd(), IDC_PROGRESS_BAR));
    EXPECT_TRUE(isVisible(progress.hwnd(), IDC_PROGRESS_TEXT));
}

}  // namespace
