#pragma once
// One step of the page loop: the current menu's page (or the automatic choice of a menu
// entered without one) and what its chosen options do: links, documents, programs, quit,
// install steps. The summary and the installation are the install pass's.
#include "run/run_context.h"
#include "run/run_state.h"

class RunPage;

enum class PageOutcome {
    GoOn,      // another page or the summary follows
    LoopOver,  // a fault, or nothing more to show: the loop ends, the closing page follows
    Restart,   // Back from the start: the script is chosen and loaded again
};

class MenuPageStep {
public:
    MenuPageStep(RunContext& context, RunState& state) : c_(context), state_(state) {}

    PageOutcome run();

private:
    PageOutcome runCheckListPage(Menu& menu);
    PageOutcome runRadioPage(Menu& menu);
    int showOptionPage(RunPage& page, const Menu& menu);
    void carryOutRadioChoice(Menu& menu, int choice);
    void openDocument(const MenuOption& option);
    void runProgramOption(const MenuOption& option);
    void quit();

    RunContext& c_;
    RunState& state_;
};
