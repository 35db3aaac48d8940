#pragma once
// A skinned setup data folder for the page tests: rscinfo.ini with the texts the pages use,
// a caption colour and skin bitmaps of known solid colours, loaded as Setup.exe loads them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "config/setup_config.h"
#include "menu/menu_file.h"
#include "skin/bitmap_image.h"
#include "support/bmp_writer.h"
#include "support/fakes.h"
#include "support/ui_driver_win.h"
#include "wizard/wizard_window.h"

namespace skin_colour {
inline constexpr std::uint32_t CAPTION = 0xC81E28;  // captionR 200, G 30, B 40
inline constexpr std::uint32_t PANEL = 0xE0ECF8;    // dbg.bmp
inline constexpr std::uint32_t BRAND = 0x204080;
inline constexpr std::uint32_t LOGO = 0x208040;
inline constexpr std::uint32_t BAR = 0x336699;
inline constexpr std::uint32_t NEXT = 0x40A040, NEXT_FOCUS = 0x70D070;
}  // namespace skin_colour

class WizardTest : public ::testing::Test {
protected:
    static constexpr ScreenRect PLACE{120, 90, 720, 510};

    void SetUp() override {
        using namespace testing_support;
        const std::pair<int, std::string> skins[] = {
            {SKIN_CANCEL, solidBmp(80, 28, 0x808080)},
            {SKIN_CANCEL_FOCUS, solidBmp(80, 28, 0xB0B0B0)},
            {SKIN_BACK, solidBmp(80, 28, 0x4040C0)},
            {SKIN_BACK_FOCUS, solidBmp(80, 28, 0x7070F0)},
            {SKIN_NEXT, solidBmp(80, 28, skin_colour::NEXT)},
            {SKIN_NEXT_FOCUS, solidBmp(80, 28, skin_colour::NEXT_FOCUS)},
            {SKIN_FINISH, solidBmp(80, 28, 0xA04040)},
            {SKIN_FINISH_FOCUS, solidBmp(80, 28, 0xD07070)},
            {SKIN_BRAND, solidBmp(150, 48, skin_colour::BRAND)},
            {SKIN_LOGO, solidBmp(30, 48, skin_colour::LOGO)},
            {SKIN_SPLASH, solidBmp(40, 40, 0x000000)},
            {SKIN_BAR, solidBmp(160, 300, skin_colour::BAR)},  // shorter than its place
            {SKIN_BACKGROUND, solidBmp(420, 400, skin_colour::PANEL)},
        };
        for (const auto& [index, bmp] : skins)
            dir.write(std::string("rsc/") + skinFileNames[index], bmp);
        dir.write("rsc/rscinfo.ini",
                  "[Language]\r\nlang0=English\r\ndefaultlanguage=0\r\n"
                  "[Colours]\r\ncaptionR=200\r\ncaptionG=30\r\ncaptionB=40\r\n"
                  "[lang0]\r\ntext0=Do you really want to quit Setup?\r\n"
                  "text1=Wizard Test Setup\r\ntext2=I accept the agreement\r\n"
                  "text3=Please read the agreement.\r\n");
        config.setSkinLoader(&skins_);
        ASSERT_TRUE(config.load(dir.str() + "\\"));
        config.wizardRect = PLACE;
    }

    // A menu of the given labels (options of kind Menu), marks all 0.
    Menu& makeMenu(const std::vector<std::string>& labels) {
        file = std::make_unique<MenuFile>(1);
        const int n = static_cast<int>(labels.size());
        file->allocateOptions(0, n);
        Menu& menu = (*file)[0];
        menu.optionCount = n;
        for (int i = 0; i < n; ++i) {
            menu.options[i].label = file->addText(labels[i].c_str());
            menu.optionSelected[i] = 0;
        }
        return menu;
    }
    // A check or radio page over a menu of the labels with the given marks (menu is set to it),
    // or over the labels added as its fixed list (menu is null).
    template <class Page>
    std::unique_ptr<Page> choicePage(bool overMenu, const std::vector<std::string>& labels,
                                     const std::vector<int>& startMarks, Menu*& menu) {
        menu = nullptr;
        if (!overMenu) {
            auto page = std::make_unique<Page>(env);
            for (const std::string& label : labels) page->addChoice(label);
            return page;
        }
        menu = &makeMenu(labels);
        std::copy(startMarks.begin(), startMarks.end(), menu->optionSelected);
        return std::make_unique<Page>(env, *menu);
    }
    static std::vector<int> marks(const Menu& menu) {
        return std::vector<int>(menu.optionSelected, menu.optionSelected + menu.optionCount);
    }
    static RECT toRect(const WizRect& r) { return {r.left, r.top, r.right, r.bottom}; }

    testing_support::ScratchDir dir;
    GdiSkinLoader skins_;
    SetupConfig config;
    testing_support::RecordingMessageSink messages;
    // What the pages are made with.
    WizardEnvironment env{&config, &messages};
    std::unique_ptr<MenuFile> file;
};

// Runs a page with a script; the page's result.
inline int runScripted(WizardWindow& page,
                       const std::function<void(testing_support::PageDriver&, HWND)>& script) {
    return testing_support::PageDriver::run([&] { return page.runPage(); },
                                            [&](testing_support::PageDriver& d) {
                                                HWND p = d.waitForPage();
                                                if (p) script(d, p);
                                            });
}
