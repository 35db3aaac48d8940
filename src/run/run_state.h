#pragma once
// What the wizard run knows between its steps: the script being run, where the page loop
// stands with its Back history, and what has happened so far.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "menu/menu_file.h"

struct RunState {
    MenuFile* activeMenuFile = nullptr;
    std::int32_t menuCount = 0;
    std::int32_t firstMenu = 0;  // the start menu of the current language
    std::int32_t currentMenu = 0;
    // history[0..depth]: the menus taken on the way to the current one; an install step is -1.
    std::vector<std::int32_t> history;
    std::int32_t depth = 0;

    bool keepRunning = false;     // the page loop shows another page
    bool installPending = false;  // install options were chosen: the summary comes next
    bool installedSomething = false;
    bool programStarted = false;  // a program option ran: there is no closing page
    // Set by the progress thread when the user cancels; the installers look at it.
    std::atomic<bool> cancelRequested{false};
    int shownWithoutPage = 0;  // menus taken in a row without showing a page

    std::string pageCaption;  // the start menu's title + " Setup"
    std::string docFolder;    // where the script's documents and programs are, ends in "\"

    bool menuValid(std::int32_t number) const {
        return activeMenuFile && number >= 0 && number < activeMenuFile->menuCount();
    }
    Menu& menuAt(std::int32_t number) { return (*activeMenuFile)[number]; }

    // The start menu, with nothing to go back to.
    void returnToStart();
    // The last menu of the history that was not entered automatically; false (and menu 0)
    // when only automatic menus are left.
    bool stepBack();
    // One entry further: the option's menu when the script has it, else the current one.
    void followLink(const MenuOption& option);
    void recordInstallStep();
};
