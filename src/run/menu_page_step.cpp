// The page loop's steps: one menu page and what its options do, the Back history, and the
// closing page.
#include "actions/document_opener.h"
#include "run/run_pages.h"
#include "run/wizard_run.h"
#include "config/setup_config.h"

namespace {

const char* const BAD_INSTRUCTION = "Error.\nSetup instruction invalid.\nCannot run Setup.";
constexpr int CHECK_LIST_BOX_LIMIT = 20;  // CheckListPage below this many options
constexpr int RADIO_BUTTON_LIMIT = 12;    // RadioPage below this many options

bool goesOn(int result) {
    return result == WIZ_NEXT || result == WIZ_FINISH;
}

const char* orEmpty(const char* text) {
    return text ? text : "";
}

bool isInstall(OptionKind kind) {
    return kind >= OptionKind::InstallEpoc && kind <= OptionKind::InstallPalm;
}

}  // namespace

int WizardRun::runMenuPage() {
    if (currentMenu < firstMenu || currentMenu > menuCount - 1 || !menuValid(currentMenu)) {
        error(BAD_INSTRUCTION);
        return 0;
    }
    Menu& menu = menuAt(currentMenu);
    // Menus taken without a page can only lead to each other a bounded number of times; more
    // means the script's automatic menus run in a circle.
    if (menu.autoEntered && ++shownWithoutPage_ > menuCount) {
        error(BAD_INSTRUCTION);
        return 0;
    }
    int r = 1;
    if (menu.style == MenuStyle::CheckList) {
        r = runCheckListPage(menu);
    } else if (menu.style == MenuStyle::RadioButtons) {
        r = runRadioPage(menu);
    } else {
        // A number the script counted but never declared: it has no options to show.
        error(BAD_INSTRUCTION);
        return 0;
    }
    if (r != 1) return r;
    return keepRunning || installPending ? 1 : 0;
}

// Both kinds of option page carry the menu's texts and the same buttons.
int WizardRun::runOptionPage(RunPage& page, const Menu& menu) {
    shownWithoutPage_ = 0;
    page.setTopText(expand(menu.topText));
    page.setBottomText(expand(menu.bottomText));
    page.setSideText(expand(menu.version));
    page.setCaption(pageCaption);
    page.setButtons(currentMenu != firstMenu ? BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL
                                             : BUTTON_NEXT | BUTTON_CANCEL);
    return page.runPage();
}

// 1 when the loop goes on by the state, 0 when the page could not be made, -1 to restart.
int WizardRun::runCheckListPage(Menu& menu) {
    int result = WIZ_NEXT;
    if (menu.autoEntered) {
        for (int i = 0; i < menu.optionCount; ++i) menu.optionSelected[i] = 1;
    } else {
        auto page = menu.optionCount < CHECK_LIST_BOX_LIMIT ? s_.pages->checkListPage(menu)
                                                            : s_.pages->checkListViewPage(menu);
        if (!page) {
            outOfMemory();
            return 0;
        }
        result = runOptionPage(*page, menu);
    }
    if (result == WIZ_BACK) return stepBack() ? 1 : -1;
    if (goesOn(result)) {
        bool stepRecorded = false;
        for (int i = 0; i < menu.optionCount; ++i) {
            if (menu.optionSelected[i] != 1) continue;
            const MenuOption& option = menu.options[i];
            if (option.kind == OptionKind::Html) {
                openDocument(option);
            } else if (option.kind == OptionKind::Exe) {
                runProgramOption(option);
            } else if (option.kind == OptionKind::Quit) {
                installPending = 0;
                keepRunning = 0;
            } else if (isInstall(option.kind)) {
                if (!stepRecorded) recordInstallStep();
                stepRecorded = true;
                installPending = 1;
            }
        }
    }
    keepRunning = 0;
    return 1;
}

int WizardRun::runRadioPage(Menu& menu) {
    int result = WIZ_NEXT;
    int choice = 0;
    if (menu.autoEntered) {
        // Taken as if the user had chosen it: the second option, or the only one.
        choice = menu.optionCount >= 2 ? 1 : 0;
        for (int i = 0; i < menu.optionCount; ++i) menu.optionSelected[i] = i == choice ? 1 : 0;
    } else {
        auto page = menu.optionCount < RADIO_BUTTON_LIMIT ? s_.pages->radioPage(menu)
                                                          : s_.pages->radioListViewPage(menu);
        if (!page) {
            outOfMemory();
            return 0;
        }
        result = runOptionPage(*page, menu);
        choice = page->selectedChoice();
    }
    if (result == WIZ_BACK) return stepBack() ? 1 : -1;
    if (!goesOn(result) || choice < 0 || choice >= menu.optionCount) {
        keepRunning = 0;
        return 1;
    }
    carryOutRadioChoice(menu, choice);
    return 1;
}

void WizardRun::carryOutRadioChoice(Menu& menu, int choice) {
    const MenuOption& option = menu.options[choice];
    switch (option.kind) {
        case OptionKind::Menu: followLink(option); break;
        case OptionKind::Html:
            openDocument(option);
            // Shown again: as a page, also when it was entered automatically, so that the
            // document does not open over and over.
            menu.autoEntered = 0;
            break;
        case OptionKind::Exe: runProgramOption(option); break;
        case OptionKind::Quit:
            installPending = 0;
            keepRunning = 0;
            break;
        default:
            recordInstallStep();
            installPending = 1;
            break;
    }
}

bool WizardRun::stepBack() {
    if (depth == 0) {
        currentMenu = 0;
        return false;
    }
    for (;;) {
        --depth;
        currentMenu = history[static_cast<std::size_t>(depth)];
        if (!menuValid(currentMenu) || !menuAt(currentMenu).autoEntered) return true;
        if (depth == 0) {
            currentMenu = 0;
            return false;
        }
    }
}

void WizardRun::followLink(const MenuOption& option) {
    history.resize(static_cast<std::size_t>(depth) + 1);
    ++depth;
    if (option.targetMenu >= 0 && option.targetMenu < menuCount) {
        currentMenu = option.targetMenu;
        menuAt(currentMenu).autoEntered = option.autoFlag ? 1 : 0;
    }
    history.push_back(currentMenu);
}

void WizardRun::recordInstallStep() {
    history.resize(static_cast<std::size_t>(depth) + 1);
    ++depth;
    history.push_back(-1);
}

void WizardRun::openDocument(const MenuOption& option) {
    std::string viewer;
    config_.getViewerPath(viewer);
    actions::DocumentOpener(s_.actions, nullptr, orEmpty(option.target), viewer, docFolder)
        .openDocument();
}

void WizardRun::runProgramOption(const MenuOption& option) {
    keepRunning = 0;
    if (option.copyright && !showAcceptText(docFolder + option.copyright)) return;
    actions::ProgramLauncher(s_.actions, nullptr, orEmpty(option.target), docFolder)
        .launchProgram();
    programStarted = true;
}

void WizardRun::closingPage() {
    const char* url = activeMenuFile ? activeMenuFile->first().registrationUrl : nullptr;
    if (!url || std::string(url) == "-" || programStarted) return;
    auto page = s_.pages->choiceCheckPage();
    if (!page) {
        outOfMemory();
        return;
    }
    page->setButtons(BUTTON_NEXT | BUTTON_CANCEL);
    page->setConfirmCancel(false);
    page->setTopText(text(9));
    page->addChoice(text(10));
    page->setChoiceChecked(0, 1);
    page->setAllowEmpty(true);
    if (goesOn(page->runPage()) && page->isChoiceChecked(0))
        actions::DocumentOpener(s_.actions, nullptr, url, "", "").openDocument();
}
