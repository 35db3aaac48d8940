#pragma once
// The wizard run: the start-up choices (language, platform, start-up text), the product
// choice, the page loop over the menus of the chosen script with its Back history, the
// install confirmation and the installation pass, and the closing page. It reaches the user
// only through a PageFactory and the platform's message sink, so that it runs without a
// window in tests.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "actions/action_services.h"
#include "menu/menu_file.h"

class SetupConfig;
class PageFactory;
class RunPage;
class WorkerThread;
namespace actions {
class PackageInstaller;
}

struct RunServices {
    SetupConfig* config;
    MenuFileList* menuFiles;
    PageFactory* pages;
    actions::ActionServices actions;  // its system gives files, messages, progress and clock
    actions::PackageInstaller* installer;
    WorkerThread* progressThread;
    std::string messageCaption;  // caption of the run's message boxes: the program's name
    std::FILE* parseTrace = nullptr;
    // What the progress thread uses; null: the system's progress sink and clock. Tests give
    // it fakes of its own, as the main thread's are not shared between threads.
    platform::ProgressSink* threadProgress = nullptr;
    platform::Clock* threadClock = nullptr;
};

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
    // Loads the script at position completely and drops every other one; the parser's
    // result code.
    int keepMenuFile(std::size_t position);
    // An empty name shows the start-up text; true when accepted or when there is no text.
    bool showAcceptText(const std::string& documentName);
    // 1 go on, 0 the run is over, -1 start the run again.
    int runMenuPage();
    // 1 go on, 0 end the run without the closing page.
    int confirmInstalls();
    void runInstallPass();

    // The run state.
    MenuFile* activeMenuFile = nullptr;
    std::atomic<bool> cancelRequested{false};
    std::int32_t firstMenu = 0;
    bool installedSomething = false;
    bool programStarted = false;
    std::int32_t installPending = 0;
    std::int32_t keepRunning = 0;
    std::string docFolder;
    std::string pageCaption;
    std::int32_t currentMenu = 0;
    std::int32_t menuCount = 0;
    std::vector<std::int32_t> history;
    std::int32_t depth = 0;

private:
    enum class LoopEnd { ClosingPage, Exit, Restart };
    bool chooseProduct(std::size_t& position);
    bool startScript();
    LoopEnd pageLoop();
    void closingPage();

    bool menuValid(std::int32_t number) const;
    Menu& menuAt(std::int32_t number) { return (*activeMenuFile)[number]; }
    int runOptionPage(RunPage& page, const Menu& menu);
    int runCheckListPage(Menu& menu);
    int runRadioPage(Menu& menu);
    void carryOutRadioChoice(Menu& menu, int choice);
    bool stepBack();
    void followLink(const MenuOption& option);
    void recordInstallStep();
    void openDocument(const MenuOption& option);
    void runProgramOption(const MenuOption& option);
    std::string confirmationText(const Menu& menu, std::vector<int>& duplicates) const;

    std::string text(int n) const;
    std::string expand(const char* source) const;
    void error(const std::string& message);
    void outOfMemory();

    RunServices s_;
    SetupConfig& config_;
    int shownWithoutPage_ = 0;  // menus taken in a row without showing a page
    bool pageMissing_ = false;  // a page of the loop could not be made
};
