#pragma once
// Finds the desktop installers that the handhelds' PC software registered.
#include <string>

#include "platform/handheld_platform.h"
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
    // The look-up and the string of a platform index (0..3).
    bool findInstaller(int platformIndex);
    const std::string& installerProgram(int platformIndex) const;

    std::string psionInstallerCommand;
    std::string nokiaInstallerCommand;
    std::string pocketPcInstallerPath;
    std::string palmInstallerCommand;

private:
    platform::Registry& registry_;
};

// Sets present by platform index and returns true when any is set. With allPlatforms every
// entry is set and only the Nokia look-up runs.
bool detectInstallers(bool allPlatforms, bool (&present)[PLATFORM_COUNT], InstallerFinder& finder);

// A registered open command without its quotes: a text that begins with a double quote
// loses it and is cut before the next one; any other text stays whole.
std::string unquoteCommand(const std::string& command);

}  // namespace actions
