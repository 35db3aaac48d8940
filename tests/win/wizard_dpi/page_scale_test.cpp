// Every page class at the screen scale of its prefix (SETUP_WINE_DPI; the suite runs at each):
// the window's size, every control inside the client area and inside its scaled layout
// rectangle, none over another, every label fitting its control in the control's own font,
// the skin drawn scaled (the sharper hidpi\ pictures from 150 % on), and the same again after
// the window is told of another DPI.
#include <cstdlib>
#include <functional>

#include "fw/dpi.h"
#include "rules/dpi_scale.h"
#include "win/wizard/wizard_fixture.h"
#include "wizard/accept_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/check_page.h"
#include "wizard/radio_list_view_page.h"
#include "wizard/radio_page.h"
#include "wizard/text_page.h"

namespace {

using namespace testing_support;

constexpr std::uint32_t SHARP_NEXT = 0x10C0C0, SHARP_NEXT_FOCUS = 0x60F0F0;
constexpr std::uint32_t CANCEL = 0x808080, CANCEL_FOCUS = 0xB0B0B0;
constexpr int ALL_BUTTONS = BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL;

int screenDpi() {
    const char* value = std::getenv("SETUP_WINE_DPI");
    return value && *value ? std::atoi(value) : BASE_DPI;
}

class WizardScaleTest : public WizardTest {
protected:
    void SetUp() override {
        // Next's sharper pictures are twice the size; Cancel's are not, so they are never drawn.
        dir.write(std::string("rsc/hidpi/") + skinFileNames[SKIN_NEXT],
                  solidBmp(160, 56, SHARP_NEXT));
        dir.write(std::string("rsc/hidpi/") + skinFileNames[SKIN_NEXT_FOCUS],
                  solidBmp(160, 56, SHARP_NEXT_FOCUS));
        dir.write(std::string("rsc/hidpi/") + skinFileNames[SKIN_CANCEL],
                  solidBmp(100, 40, 0xFF00FF));
        WizardTest::SetUp();
    }

    WizardLayout scaledLayout(int dpi) const {
        auto w = [&](int skin) { return config.getBitmap(skin)->width(); };
        auto h = [&](int skin) { return config.getBitmap(skin)->height(); };
        const WizardSkinSizes sizes{w(SKIN_BACKGROUND), w(SKIN_BACK),   h(SKIN_BACK),  w(SKIN_NEXT),
                                    h(SKIN_NEXT),       w(SKIN_CANCEL), h(SKIN_CANCEL)};
        return scaleToDpi(computeWizardLayout(sizes, ALL_BUTTONS), dpi);
    }

    // Everything the page must be at dpi; name says which page in the messages.
    void checkPage(HWND p, int dpi, const std::string& name) const {
        SCOPED_TRACE(name + " at " + std::to_string(dpi) + " DPI");
        RECT outer{}, client{};
        ::GetWindowRect(p, &outer);
        ::GetClientRect(p, &client);
        EXPECT_EQ(outer.right - outer.left, scaleToDpi(WIZARD_WIDTH, dpi));
        EXPECT_EQ(outer.bottom - outer.top, scaleToDpi(WIZARD_HEIGHT, dpi));
        const WizardLayout layout = scaledLayout(dpi);
        std::vector<std::pair<HWND, RECT>> shown;
        for (HWND c = ::GetWindow(p, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (!isVisible(c)) continue;
            const RECT r = childRect(c);
            const int id = ::GetDlgCtrlID(c);
            SCOPED_TRACE("control " + std::to_string(id) + " \"" + windowText(c) + "\"");
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right &&
                        r.bottom <= client.bottom && r.left < r.right && r.top < r.bottom);
            const WizRect place{r.left, r.top, r.right, r.bottom};
            if (id == WIZ_NEXT || id == WIZ_FINISH)
                EXPECT_EQ(place, layout.next);
            else if (id == WIZ_BACK)
                EXPECT_EQ(place, layout.back);
            else if (id == WIZ_CANCEL)
                EXPECT_EQ(place, layout.cancel);
            else
                EXPECT_TRUE(place.left >= layout.content.left && place.top >= layout.content.top &&
                            place.right <= layout.content.right &&
                            place.bottom <= layout.content.bottom);
            checkLabelFits(c, dpi);
            for (const auto& [other, otherRect] : shown) {
                RECT both;
                EXPECT_FALSE(::IntersectRect(&both, &r, &otherRect))
                    << "over control " << ::GetDlgCtrlID(other);
            }
            shown.emplace_back(c, r);
        }
        checkSkin(p, dpi);
    }

    // A check box's or radio button's label beside its box, in the control's font; that font
    // is the dialog's 8 points at dpi.
    static void checkLabelFits(HWND c, int dpi) {
        const LONG type = ::GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
        wchar_t kind[16] = L"";
        ::GetClassNameW(c, kind, 16);
        const bool button = ::lstrcmpiW(kind, L"BUTTON") == 0;
        if (button && type == BS_OWNERDRAW) return;  // the skin's pictures
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0));
        ASSERT_TRUE(font);
        HDC dc = ::GetDC(c);
        HGDIOBJ previous = ::SelectObject(dc, font);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        wchar_t text[256] = L"";
        const int length = ::GetWindowTextW(c, text, 256);
        RECT need{0, 0, 0, 0};
        ::DrawTextW(dc, text, length, &need, DT_CALCRECT | DT_SINGLELINE);
        ::SelectObject(dc, previous);
        ::ReleaseDC(c, dc);
        // "MS Sans Serif" 8 points: 11 pixels of character height at 96 DPI.
        EXPECT_NEAR(metrics.tmHeight - metrics.tmInternalLeading, 11.0 * dpi / BASE_DPI,
                    1.0 + dpi / BASE_DPI);
        if (!button || (type != BS_CHECKBOX && type != BS_RADIOBUTTON)) return;
        RECT inside{};
        ::GetClientRect(c, &inside);
        // The box, and the gap the button keeps before its text.
        const int box = scaleToDpi(13 + 4, dpi);
        EXPECT_LE(box + need.right, inside.right) << "label \"" << wideWindowText(c) << "\"";
        EXPECT_LE(need.bottom, inside.bottom) << "label \"" << wideWindowText(c) << "\"";
    }

    // The skin's pictures where the scaled layout puts them; Next from its sharper pictures at
    // 144 DPI and more, Cancel always from its own.
    void checkSkin(HWND p, int dpi) const {
        auto at = [&](const Picture& shown, int x, int y) {
            return shown.at(scaleToDpi(x, dpi), scaleToDpi(y, dpi));
        };
        const Picture shown = captureClient(p);
        EXPECT_EQ(at(shown, 300, 10), skin_colour::CAPTION);
        EXPECT_EQ(at(shown, 590, 200), skin_colour::PANEL);
        EXPECT_EQ(at(shown, 500, 30), skin_colour::BRAND);
        EXPECT_EQ(at(shown, 10, 30), skin_colour::LOGO);
        EXPECT_EQ(at(shown, 20, 40), skin_colour::BAR);
        EXPECT_EQ(at(shown, 20, 345), 0x000000u);  // below the bar's own rows
        EXPECT_EQ(at(shown, 100, 355), 0xFFFFFFu);
        const WizardLayout layout = scaledLayout(dpi);
        auto middle = [&](const WizRect& r) {
            return shown.at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        };
        const bool sharp = dpi >= SHARP_PICTURE_DPI;
        const std::uint32_t next = middle(layout.next);
        if (!isVisible(::GetDlgItem(p, WIZ_NEXT)))
            ;  // nothing marked or accepted yet
        else if (sharp)
            EXPECT_TRUE(next == SHARP_NEXT || next == SHARP_NEXT_FOCUS) << std::hex << next;
        else
            EXPECT_TRUE(next == skin_colour::NEXT || next == skin_colour::NEXT_FOCUS)
                << std::hex << next;
        const std::uint32_t cancel = middle(layout.cancel);
        EXPECT_TRUE(cancel == CANCEL || cancel == CANCEL_FOCUS) << std::hex << cancel;
    }

    using Make = std::function<std::unique_ptr<WizardWindow>()>;
    struct PageCase {
        std::string name;
        Make make;
    };

    std::vector<std::string> labels(int count) const {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i)
            out.push_back("Install the &documentation and samples of part " + std::to_string(i));
        return out;
    }

    template <class Page>
    Make choices(bool overMenu, int count) {
        return [this, overMenu, count] {
            Menu* menu = nullptr;
            std::vector<int> marks(count, 0);
            marks[0] = 1;
            return std::unique_ptr<WizardWindow>(
                choicePage<Page>(overMenu, labels(count), marks, menu));
        };
    }
    template <class Page>
    Make list(int rows) {
        return [this, rows] {
            return std::unique_ptr<WizardWindow>(
                std::make_unique<Page>(env, makeMenu(labels(rows))));
        };
    }

    std::vector<PageCase> pageClasses() {
        return {
            {"plain", [this] { return std::make_unique<WizardWindow>(env); }},
            {"accept",
             [this] {
                 auto page = std::make_unique<AcceptPage>(env);
                 page->setAcceptText("The agreement.\r\nEvery line of it.");
                 page->setAcceptLabel("I &accept the agreement");
                 return std::unique_ptr<WizardWindow>(std::move(page));
             }},
            {"text",
             [this] {
                 auto page = std::make_unique<TextPage>(env);
                 page->setText("What will be installed:\r\nThe program\r\nIts documents");
                 return std::unique_ptr<WizardWindow>(std::move(page));
             }},
            {"check_fixed", choices<CheckPage>(false, 5)},
            {"check_menu", choices<CheckPage>(true, 6)},
            {"radio_fixed", choices<RadioPage>(false, 3)},
            {"radio_menu", choices<RadioPage>(true, 4)},
            {"check_list", list<CheckListViewPage>(40)},
            {"radio_list", list<RadioListViewPage>(40)},
        };
    }

    // Opens every page class with texts in every place and every navigation button, runs the
    // script on it and closes it.
    void forEachPage(const std::function<void(HWND, WizardWindow&, const std::string&)>& script) {
        for (const PageCase& c : pageClasses()) {
            std::unique_ptr<WizardWindow> page = c.make();
            page->setCaption("Choose the parts to install");
            page->setTopText("Which parts of the program do you want to install?");
            page->setBottomText("Bottom text of the page");
            page->setSideText("Version 1.0");
            page->setButtons(ALL_BUTTONS);
            page->confirmCancel = false;
            runScripted(*page, [&](PageDriver&, HWND p) {
                script(p, *page, c.name);
                ::PostMessageW(p, WM_CLOSE, 0, 0);
                waitForClose(p);
            });
        }
    }
};

TEST_F(WizardScaleTest, EveryPageClassAtTheScreensScale) {
    const int dpi = screenDpi();
    forEachPage([&](HWND p, WizardWindow& page, const std::string& name) {
        EXPECT_EQ(fw::windowDpi(p), dpi) << name;
        EXPECT_EQ(page.dpi(), dpi) << name;
        checkPage(p, dpi, name);
        EXPECT_FALSE(saveScreenshot(p, name + "-" + std::to_string(dpi)).empty());
    });
}

// A window moved to a screen of another DPI lays itself out for it: the size, the places, the
// fonts and the pictures.
TEST_F(WizardScaleTest, AnotherScreensDpiLaysThePageOutAgain) {
    const int dpi = screenDpi() == 192 ? 120 : 192;
    forEachPage([&](HWND p, WizardWindow& page, const std::string& name) {
        RECT suggested{};
        ::GetWindowRect(p, &suggested);
        ::SendMessageW(p, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(page.dpi(), dpi) << name;
        checkPage(p, dpi, name + " moved");
        saveScreenshot(p, name + "-moved-" + std::to_string(dpi));
    });
}

}  // namespace
