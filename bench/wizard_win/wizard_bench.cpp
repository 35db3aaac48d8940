// Time from runPage to the end of the page's first paint, for a check list of 19 options and
// a list view of 10,000 options, against an empty dialog of the same template and size made
// the same way, at the screen's DPI; the same dialog with 19 bare child windows shows what one
// window per option costs before any control does anything. Then the cost of one type-ahead
// key against the length of the list (left out with --paint-only).
//   bench_wizard_win <setup data folder with rsc\> [--paint-only]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "fw/dialog.h"
#include "fw/dpi.h"
#include "menu/menu_file.h"
#include "resource.h"
#include "rules/dpi_scale.h"
#include "rules/type_ahead.h"
#include "skin/bitmap_image.h"
#include "wizard/check_list_view_page.h"
#include "wizard/check_page.h"

namespace {

double now() {
    LARGE_INTEGER c, f;
    ::QueryPerformanceCounter(&c);
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double paintedAt = 0;

// Ends the page once its first paint is done.
template <typename Page>
class Timed : public Page {
public:
    using Page::Page;

protected:
    void paint(HDC dc) override {
        Page::paint(dc);
        if (paintedAt == 0) {
            paintedAt = now();
            ::PostMessageA(this->hwnd(), WM_COMMAND, WIZ_BACK, 0);
        }
    }
};

// The same template, moved to the same place and shown the same way; it paints a white panel.
// With windows > 0, it also makes that many bare child windows of a class that does nothing:
// the least that a page of as many controls can cost.
class EmptyDialog : public fw::Dialog {
public:
    explicit EmptyDialog(const ScreenRect& r, int windows = 0)
        : Dialog(IDD_WIZARD_PAGE), r_(r), windows_(windows) {}

protected:
    bool onInitDialog() override {
        for (int i = 0; i < windows_; ++i)
            ::CreateWindowExW(0, bareClass(), L"Option", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20,
                              60 + 16 * i, 300, 14, hwnd(), nullptr, ::GetModuleHandleW(nullptr),
                              nullptr);
        ::SetWindowPos(hwnd(), nullptr, r_.left, r_.top, r_.right - r_.left, r_.bottom - r_.top,
                       SWP_NOZORDER | SWP_SHOWWINDOW);
        return true;
    }
    bool onPaint() override {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd(), &ps);
        ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::EndPaint(hwnd(), &ps);
        if (paintedAt == 0) {
            paintedAt = now();
            ::PostMessageA(hwnd(), WM_APP, 0, 0);
        }
        return true;
    }
    std::optional<LRESULT> onMessage(UINT message, WPARAM, LPARAM) override {
        if (message != WM_APP) return std::nullopt;
        endDialog(0);
        return 0;
    }

private:
    static const wchar_t* bareClass() {
        static const bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"BenchBareWindow";
            return ::RegisterClassW(&wc) != 0;
        }();
        return registered ? L"BenchBareWindow" : L"STATIC";
    }
    ScreenRect r_;
    int windows_;
};

struct Options {
    explicit Options(int n) : file(1) {
        file.allocateOptions(0, n);
        Menu& m = file[0];
        m.optionCount = n;
        for (int i = 0; i < n; ++i) {
            char label[32];
            std::snprintf(label, sizeof label, "Option %07d", i);
            m.options[i].label = file.addText(label);
            m.optionSelected[i] = 0;
        }
    }
    MenuFile file;
};

// Runs every case once per round, in turn, so that a change in the machine's load falls on
// all of them alike; the median of each case's times.
std::vector<double> medianMs(int rounds, const std::vector<std::function<void()>>& cases) {
    std::vector<std::vector<double>> t(cases.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t c = 0; c < cases.size(); ++c) {
            paintedAt = 0;
            double start = now();
            cases[c]();
            if (paintedAt > 0) t[c].push_back(paintedAt - start);
        }
    std::vector<double> medians;
    for (auto& times : t) {
        std::sort(times.begin(), times.end());
        medians.push_back(times.empty() ? -1 : times[times.size() / 2]);
    }
    return medians;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_wizard_win <setup data folder>\n");
        return 2;
    }
    GdiSkinLoader skins;
    SetupConfig config;
    config.setSkinLoader(&skins);
    std::string dir = argv[1];
    if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
    if (!config.load(dir)) {
        std::fprintf(stderr, "cannot load %srsc\\rscinfo.ini\n", dir.c_str());
        return 1;
    }
    fw::enableDpiAwareness();
    const int dpi = fw::systemDpi();
    config.wizardRect = {100, 100, 100 + scaleToDpi(WIZARD_WIDTH, dpi),
                         100 + scaleToDpi(WIZARD_HEIGHT, dpi)};
    const WizardEnvironment environment{&config};
    const int runs = 21;

    Options nineteen(19), tenThousand(10000);
    const std::vector<double> m =
        medianMs(runs, {[&] { EmptyDialog(config.wizardRect).doModal(); },
                        [&] {
                            Timed<WizardWindow> page(environment);
                            page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
                            page.setTopText("Choose the software to install.");
                            page.runPage();
                        },
                        [&] { EmptyDialog(config.wizardRect, 19).doModal(); },
                        [&] {
                            Timed<CheckPage> page(environment, nineteen.file[0]);
                            page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
                            page.setTopText("Choose the software to install.");
                            page.runPage();
                        },
                        [&] {
                            Timed<CheckListViewPage> page(environment, tenThousand.file[0]);
                            page.setButtons(BUTTON_NEXT | BUTTON_CANCEL);
                            page.setTopText("Choose the software to install.");
                            page.runPage();
                        }});
    const double empty = m[0], plain = m[1], bare = m[2], checks = m[3], list = m[4];
    std::printf("first paint at %d DPI, median of %d rounds, the cases in turn:\n", dpi, runs);
    std::printf("  empty dialog            %7.2f ms\n", empty);
    std::printf("  page without choices    %7.2f ms  (%.2fx)\n", plain, plain / empty);
    std::printf("  empty dialog, 19 bare child windows %7.2f ms  (%.2fx)\n", bare, bare / empty);
    std::printf("  check list, 19 options  %7.2f ms  (%.2fx the empty dialog; target <= 2x)\n",
                checks, checks / empty);
    std::printf("  list view, 10000 rows   %7.2f ms  (%.2fx the empty dialog; target <= 2x)\n",
                list, list / empty);

    const bool checksMet = checks <= 2 * empty, listMet = list <= 2 * empty;
    std::printf("targets at %d DPI: %d met, %d missed%s%s\n", dpi, checksMet + listMet,
                !checksMet + !listMet, checksMet ? "" : "\n  missed: check list <= 2x",
                listMet ? "" : "\n  missed: list view <= 2x");

    if (argc > 2 && std::string(argv[2]) == "--paint-only") return 0;
    std::printf("type-ahead, one key (after a pause, so a new search each time):\n");
    for (int n : {100, 10000, 1000000}) {
        Options options(n);
        TypeAheadState state;
        const int keys = 20000;
        double start = now();
        for (int k = 0; k < keys; ++k) typeAheadFind(state, "O", 10 * k, options.file[0], &config);
        double perKey = (now() - start) * 1000.0 / keys;
        std::printf("  %8d options          %7.3f us per key\n", n, perKey);
    }
    return 0;
}
