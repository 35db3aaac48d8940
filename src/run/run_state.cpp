#include "run/run_state.h"

void RunState::returnToStart() {
    currentMenu = firstMenu;
    history.assign(1, firstMenu);
    depth = 0;
}

bool RunState::stepBack() {
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

void RunState::followLink(const MenuOption& option) {
    history.resize(static_cast<std::size_t>(depth) + 1);
    ++depth;
    if (option.targetMenu >= 0 && option.targetMenu < menuCount) {
        currentMenu = option.targetMenu;
        menuAt(currentMenu).autoEntered = option.autoFlag ? 1 : 0;
    }
    history.push_back(currentMenu);
}

void RunState::recordInstallStep() {
    history.resize(static_cast<std::size_t>(depth) + 1);
    ++depth;
    history.push_back(-1);
}
