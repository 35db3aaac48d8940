#include "run/menu_page_step.h"

#include "actions/document_opener.h"
#include "config/setup_config.h"
#include "run/run_pages.h"

namespace {

const char* const BAD_INSTRUCTION = "Error.\nSetup instruction invalid.\nCannot run Setup.";

}  // namespace

PageOutcome MenuPageStep::run() {
    const std::int32_t number = state_.currentMenu;
    if (number < state_.firstMenu || number > state_.menuCount - 1 || !state_.menuValid(number)) {
        c_.error(BAD_INSTRUCTION);
        return PageOutcome::LoopOver;
    }
    Menu& menu = state_.menuAt(number);
    // Menus taken without a page can only lead to each other a bounded number of times; more
    // means the script's automatic menus run in a circle.
    if (menu.autoEntered && ++state_.shownWithoutPage > state_.menuCount) {
        c_.error(BAD_INSTRUCTION);
        return PageOutcome::LoopOver;
    }
    PageOutcome outcome;
    if (menu.style == MenuStyle::CheckList) {
        outcome = runCheckListPage(menu);
    } else if (menu.style == MenuStyle::RadioButtons) {
        outcome = runRadioPage(menu);
    } else {
        // A number the script counted but never declared: it has no options to show.
        c_.error(BAD_INSTRUCTION);
        return PageOutcome::LoopOver;
    }
    if (outcome != PageOutcome::GoOn) return outcome;
    return state_.keepRunning || state_.installPending ? PageOutcome::GoOn : PageOutcome::LoopOver;
}

// Both kinds of option page carry the menu's texts and the same buttons.
int MenuPageStep::showOptionPage(RunPage& page, const Menu& menu) {
    state_.shownWithoutPage = 0;
    page.setTopText(c_.expand(menu.topText));
    page.setBottomText(c_.expand(menu.bottomText));
    page.setSideText(c_.expand(menu.version));
    page.setCaption(state_.pageCaption);
    page.setButtons(state_.currentMenu != state_.firstMenu
                        ? BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL
                        : BUTTON_NEXT | BUTTON_CANCEL);
    return page.runPage();
}

// A check list carries out every marked option, in order, and always ends the loop's turn;
// the options decide whether the summary follows.
PageOutcome MenuPageStep::runCheckListPage(Menu& menu) {
    int result = WIZ_NEXT;
    if (menu.autoEntered) {
        for (int i = 0; i < menu.optionCount; ++i) menu.optionSelected[i] = 1;
    } else {
        auto page = menu.optionCount < MAX_CHECK_BOXES ? c_.s.pages->checkListPage(menu)
                                                       : c_.s.pages->checkListViewPage(menu);
        if (!page) {
            c_.outOfMemory();
            return PageOutcome::LoopOver;
        }
        result = showOptionPage(*page, menu);
    }
    if (result == WIZ_BACK) return state_.stepBack() ? PageOutcome::GoOn : PageOutcome::Restart;
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
                quit();
            } else if (isInstall(option.kind)) {
                if (!stepRecorded) state_.recordInstallStep();
                stepRecorded = true;
                state_.installPending = true;
            }
        }
    }
    state_.keepRunning = false;
    return PageOutcome::GoOn;
}

PageOutcome MenuPageStep::runRadioPage(Menu& menu) {
    int result = WIZ_NEXT;
    int choice = 0;
    if (menu.autoEntered) {
        // Taken as if the user had chosen it: the second option, or the only one.
        choice = menu.optionCount >= 2 ? 1 : 0;
        for (int i = 0; i < menu.optionCount; ++i) menu.optionSelected[i] = i == choice ? 1 : 0;
    } else {
        auto page = menu.optionCount < MAX_RADIO_BUTTONS ? c_.s.pages->radioPage(menu)
                                                         : c_.s.pages->radioListViewPage(menu);
        if (!page) {
            c_.outOfMemory();
            return PageOutcome::LoopOver;
        }
        result = showOptionPage(*page, menu);
        choice = page->selectedChoice();
    }
    if (result == WIZ_BACK) return state_.stepBack() ? PageOutcome::GoOn : PageOutcome::Restart;
    if (!goesOn(result) || choice < 0 || choice >= menu.optionCount) {
        state_.keepRunning = false;
        return PageOutcome::GoOn;
    }
    carryOutRadioChoice(menu, choice);
    return PageOutcome::GoOn;
}

void MenuPageStep::carryOutRadioChoice(Menu& menu, int choice) {
    const MenuOption& option = menu.options[choice];
    switch (option.kind) {
        case OptionKind::Menu: state_.followLink(option); break;
        case OptionKind::Html:
            openDocument(option);
            // Shown again: as a page, also when it was entered automatically, so that the
            // document does not open over and over.
            menu.autoEntered = 0;
            break;
        case OptionKind::Exe: runProgramOption(option); break;
        case OptionKind::Quit: quit(); break;
        default:
            state_.recordInstallStep();
            state_.installPending = true;
            break;
    }
}

void MenuPageStep::quit() {
    state_.installPending = false;
    state_.keepRunning = false;
}

void MenuPageStep::openDocument(const MenuOption& option) {
    std::string viewer;
    c_.config.getViewerPath(viewer);
    actions::DocumentOpener(c_.s.actions, nullptr, orEmpty(option.target), viewer, state_.docFolder)
        .openDocument();
}

void MenuPageStep::runProgramOption(const MenuOption& option) {
    state_.keepRunning = false;
    if (option.copyright && !c_.showAcceptText(state_.docFolder + option.copyright)) return;
    actions::ProgramLauncher(c_.s.actions, nullptr, orEmpty(option.target), state_.docFolder)
        .launchProgram();
    state_.programStarted = true;
}
