#pragma once
// The wizard run: the start-up choices (language, platform, start-up text), the product
// choice, the page loop over the menus of the chosen script, the install confirmation and
// the installation pass, and the closing page. It reaches the user only through a
// PageFactory and the platform's message sink, so that it runs without a window in tests.
#include <cstddef>
#include <string>

#include "run/install_pass.h"
#include "run/menu_page_step.h"
#include "run/run_context.h"
#include "run/run_state.h"

class WizardRun {
public:
    explicit WizardRun(RunServices services);
    WizardRun(const WizardRun&) = delete;
    WizardRun& operator=(const WizardRun&) = delete;

    // Language, platform and start-up text; false ends the program.
    bool runStartupChoices();
    // Product choice, full load, page loop, installation passes and the closing page. The
    // caller ends the program (exitInstance) afterwards.
    void run();

    // Keeps only the scripts of platform index 0..3; false for another index.
    bool keepPlatform(int platformIndex);
    // An empty name shows the start-up text; true when accepted or when there is no text.
    bool showAcceptText(const std::string& documentName) {
        return context_.showAcceptText(documentName);
    }

    RunState& state() { return state_; }

private:
    enum class Ending { ClosingPage, WithoutClosingPage, Restart };
    bool choosePlatform();
    bool chooseProduct(std::size_t& position);
    // Loads the script at position completely and drops every other one; the parser's
    // result code.
    int keepMenuFile(std::size_t position);
    bool startScript();
    Ending pageLoop();
    void closingPage();

    RunContext context_;
    SetupConfig& config_;
    RunState state_;
    MenuPageStep pageStep_{context_, state_};
    InstallPass installPass_{context_, state_};
};
