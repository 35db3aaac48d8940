#pragma once
// What every part of the wizard run shares: the services it reaches the user and the disc
// through, the configuration's texts, its message boxes and the acceptance page.
#include <cstdio>
#include <string>

#include "actions/action_services.h"
#include "menu/menu_file.h"
#include "rules/wizard_types.h"

class SetupConfig;
class PageFactory;
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

class RunContext {
public:
    explicit RunContext(RunServices services) : s(std::move(services)), config(*s.config) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // A text of the current language by its number (TEXT_...).
    std::string text(int id) const;
    // A text of a menu script with its text references resolved; null is empty.
    std::string expand(const char* source) const;
    void error(const std::string& message);
    void outOfMemory();
    // An empty name shows the start-up text; true when accepted or when there is no text.
    bool showAcceptText(const std::string& documentName);

    RunServices s;
    SetupConfig& config;
};

// The caption of the pages before a script is chosen.
std::string standardCaption();

inline bool goesOn(int pageResult) {
    return pageResult == WIZ_NEXT || pageResult == WIZ_FINISH;
}

inline const char* orEmpty(const char* text) {
    return text ? text : "";
}

inline bool isInstall(OptionKind kind) {
    return kind >= OptionKind::InstallEpoc && kind <= OptionKind::InstallPalm;
}
