#pragma once
// Finds the desktop installers that the handhelds' PC software registered.
#include <string>

#include "platform/registry.h"

namespace actions {

// The four installer strings, empty until their look-up succeeds. One object serves the
// whole process; tests make their own.
class InstallerFinder {
public:
    explicit InstallerFinder(platform::Registry& registry) : registry_(registry) {}

    bool findPsionInstaller();     // EPOC
    bool findNokiaInstaller();     // N9210
    bool findPocketPcInstaller();  // POCKETPC
    bool findPalmInstaller();      // PALM

    std::string psionInstallerCommand;
    std::string nokiaInstallerCommand;
    std::string pocketPcInstallerPath;
    std::string palmInstallerCommand;

private:
    platform::Registry& registry_;
};

// Sets present[0..3] (EPOC, N9210, POCKETPC, PALM) and returns true when any is set. With
// allPlatforms every entry is set and only the Nokia look-up runs.
bool detectInstallers(bool allPlatforms, bool (&present)[4], InstallerFinder& finder);

// A registered open command without its quotes: a text that begins with a double quote
// loses it and is cut before the next one; any other text stays whole.
std::string unquoteCommand(const std::string& command);

}  // namespace actions
