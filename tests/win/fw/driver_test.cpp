// A throwaway page shown on the test's thread and worked by the driver's script as a user
// would: rows of an owner-data list, type-ahead, Tab and Shift+Tab, a mnemonic, a click and a
// posted click on a check box, its picture, a drag by the band, Enter.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fw/dialog.h"
#include "fw/gdi.h"
#include "fw/list_view.h"
#include "resource.h"
#include "support/ui_driver_win.h"

namespace {

using namespace testing_support;

constexpr COLORREF PANEL = RGB(0x33, 0x66, 0xCC);
const std::vector<std::string> NAMES = {"Alpha", "Bravo", "Charlie", "Delta", "Echo"};

class Throwaway : public fw::Dialog {
public:
    Throwaway() : Dialog(IDD_WIZARD_PAGE) {}

protected:
    bool onCreate(const CREATESTRUCTA&) override {
        panel_.reset(::CreateSolidBrush(PANEL));
        return bool(panel_);
    }
    bool onInitDialog() override {
        ::SetWindowTextA(hwnd(), "Throwaway");
        ::SetWindowPos(hwnd(), nullptr, 100, 100, 320, 240, SWP_NOZORDER | SWP_SHOWWINDOW);
        list_.create(hwnd(), CHECK_LIST_VIEW_ID, RECT{10, 30, 200, 150},
                     LVS_SINGLESEL | LVS_SHOWSELALWAYS);
        list_.addColumn(170);
        list_.setItemCount(static_cast<int>(NAMES.size()));
        list_.setItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ::CreateWindowExA(0, "BUTTON", "&Accept",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 10, 160, 150, 20,
                          hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ACCEPT_CHECK)),
                          ::GetModuleHandleA(nullptr), nullptr);
        ::SetFocus(list_.hwnd());
        return false;
    }
    void onOk() override { endDialog(WIZ_NEXT); }
    bool onEraseBackground(HDC dc) override {
        RECT r;
        ::GetClientRect(hwnd(), &r);
        ::FillRect(dc, &r, panel_.get());
        return true;
    }
    std::optional<LRESULT> onHitTest(POINT screen) override {
        ::ScreenToClient(hwnd(), &screen);
        return screen.y < 20 ? HTCAPTION : HTCLIENT;
    }
    std::optional<LRESULT> onNotify(const NMHDR& header) override {
        if (header.idFrom != CHECK_LIST_VIEW_ID) return std::nullopt;
        if (header.code == LVN_GETDISPINFOA) {
            auto& request =
                const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(header));
            if (request.item.iItem >= 0 && request.item.iItem < static_cast<int>(NAMES.size()))
                fw::ListView::supplyText(request, NAMES[request.item.iItem]);
            return 0;
        }
        if (auto key = fw::ListView::findItemText(header)) {
            for (std::size_t i = 0; i < NAMES.size(); ++i)
                if (!key->empty() && ::_strnicmp(NAMES[i].c_str(), key->c_str(), key->size()) == 0)
                    return static_cast<LRESULT>(i);
            return -1;
        }
        return std::nullopt;
    }

private:
    fw::Brush panel_;
    fw::ListView list_;
};

TEST(Driver, WorksAPageByKeysAndTakesItsPicture) {
    Throwaway page;
    std::string saved;
    const int result = PageDriver::run(
        [&] { return page.doModal(); },
        [&](PageDriver& d) {
            WindowQuery query = WindowQuery::dialogs(0);
            query.title = "Throwaway";
            HWND window = waitForWindow(query);
            ASSERT_EQ(window, d.waitForPage());
            ASSERT_NE(window, nullptr);
            HWND list = ::GetDlgItem(window, CHECK_LIST_VIEW_ID);

            auto rowsAre = [&](int selectedAndFocused) {
                auto rows = listRows(list);
                if (rows.size() != NAMES.size()) return false;
                for (int i = 0; i < static_cast<int>(rows.size()); ++i)
                    if (rows[i].text != NAMES[i] || rows[i].selected != (i == selectedAndFocused) ||
                        rows[i].focused != (i == selectedAndFocused))
                        return false;
                return true;
            };
            EXPECT_TRUE(waitUntil([&] { return rowsAre(0) && focusedControl(window) == list; }));

            typeText(window, "d");  // the list asks the page which row, and moves there
            EXPECT_TRUE(waitUntil([&] { return rowsAre(3); }));
            pressKey(window, VK_TAB);
            EXPECT_TRUE(waitUntil([&] { return focusedId(window) == IDC_ACCEPT_CHECK; }));
            EXPECT_FALSE(isChecked(window, IDC_ACCEPT_CHECK));
            pressAlt(window, 'A');
            EXPECT_TRUE(waitUntil([&] { return isChecked(window, IDC_ACCEPT_CHECK); }));
            // Shift+Tab goes back to the list; a double click on a row is the list's, not Enter.
            pressKey(window, VK_TAB, SHIFT);
            EXPECT_TRUE(waitUntil([&] { return focusedControl(window) == list; }));
            HWND box = ::GetDlgItem(window, IDC_ACCEPT_CHECK);
            EXPECT_TRUE(focusControl(box));
            const RECT r = childRect(box);
            clickAt(window, POINT{r.left + 6, (r.top + r.bottom) / 2});
            EXPECT_TRUE(waitUntil([&] { return !isChecked(box); }));
            clickButton(box);
            EXPECT_TRUE(waitUntil([&] { return isChecked(box); }));

            Picture picture = captureClient(window);
            ASSERT_EQ(picture.width, 320 - 2 * ::GetSystemMetrics(SM_CXDLGFRAME));
            EXPECT_EQ(picture.at(250, 200), 0x3366CCu);  // the page's own background
            // The check box is painted by the page's thread, in every picture.
            EXPECT_NE(picture.at(100, 170), 0x3366CCu);
            EXPECT_NE(captureClient(window).at(100, 170), 0x3366CCu);
            saved = saveScreenshot(window, "checked");

            EXPECT_TRUE(dragWindow(window, POINT{250, 5}, 40, 25));
            pressKey(window, VK_RETURN);
            EXPECT_TRUE(waitForClose(window));
        });
    EXPECT_EQ(result, WIZ_NEXT);
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(saved.rfind(artifactFolder(), 0), 0u);
    EXPECT_NE(saved.find("Driver.WorksAPageByKeysAndTakesItsPicture-checked.png"),
              std::string::npos);
    EXPECT_GT(std::filesystem::file_size(saved), 320u * 200 * 3);
}

}  // namespace
