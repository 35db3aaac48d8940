#pragma once
// The install confirmation (the summary page of the marked install options) and the
// installation pass that follows it, with its progress thread.
#include <string>
#include <vector>

#include "run/run_context.h"
#include "run/run_state.h"

enum class Confirmation {
    Back,         // to the menu the options were chosen on
    Install,      // the pass follows
    Cancel,       // the run ends without the closing page
    PageMissing,  // the summary could not be made: the loop ends, the closing page follows
};

class InstallPass {
public:
    InstallPass(RunContext& context, RunState& state) : c_(context), state_(state) {}

    // Shows the summary of the current menu's marked install options.
    Confirmation confirm();
    // Hands each marked option of the current menu to its platform's installer; afterwards
    // the loop goes on at the start menu when something was installed, else one step back.
    void run();
    // The summary page's text for the menu's marks (the preview shows it too).
    std::string summaryText(const Menu& menu, std::vector<int>& duplicates) const;

private:
    void installMarkedOptions();

    RunContext& c_;
    RunState& state_;
};
