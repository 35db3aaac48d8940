#include "actions/installer_finder.h"

#include "actions/text_rules.h"

namespace actions {
namespace {

using platform::RegistryRoot;

constexpr std::size_t VALUE_BUFFER = 256;
constexpr std::size_t PATH_BUFFER = 260;
const char* const OPEN_COMMAND = "\\shell\\open\\command";

bool readDefault(platform::Registry& registry, RegistryRoot root, const std::string& path,
                 std::size_t bufferSize, std::string& out) {
    auto key = registry.openKey(root, path);
    return key && key->readDefaultValue(bufferSize, out);
}

}  // namespace

std::string unquoteCommand(const std::string& command) {
    if (command.empty() || command[0] != '"') return command;
    std::size_t end = command.find('"', 1);
    return command.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

bool InstallerFinder::findPsionInstaller() {
    bool machineClasses = false;
    auto sis = registry_.openKey(RegistryRoot::ClassesRoot, ".SIS");
    if (!sis) {
        sis = registry_.openKey(RegistryRoot::LocalMachine, "Software\\Classes\\.SIS");
        if (!sis) return false;
        machineClasses = true;
    }
    std::string id;
    if (!sis->readDefaultValue(VALUE_BUFFER, id)) return false;
    if (!equalsNoCase(id, "PsiSetup.File.1") && !equalsNoCase(id, "EPOCInstall.File.1"))
        return false;
    std::string command;
    bool read = machineClasses
                    ? readDefault(registry_, RegistryRoot::LocalMachine,
                                  "Software\\Classes\\" + id + OPEN_COMMAND, VALUE_BUFFER, command)
                    : readDefault(registry_, RegistryRoot::ClassesRoot, id + OPEN_COMMAND,
                                  VALUE_BUFFER, command);
    if (!read) return false;
    psionInstallerCommand = unquoteCommand(command);
    return true;
}

bool InstallerFinder::findNokiaInstaller() {
    std::string id, command;
    if (!readDefault(registry_, RegistryRoot::ClassesRoot, ".SIS", VALUE_BUFFER, id)) return false;
    if (!startsWithNoCase(id, "EPOCInstall.File.")) return false;
    if (!readDefault(registry_, RegistryRoot::ClassesRoot, id + OPEN_COMMAND, VALUE_BUFFER,
                     command))
        return false;
    nokiaInstallerCommand = unquoteCommand(command);
    return true;
}

bool InstallerFinder::findPocketPcInstaller() {
    // Opened for reading only, and an empty default value (what a bare key answers) is no
    // installer: otherwise every machine would seem to have one.
    std::string path;
    if (!readDefault(registry_, RegistryRoot::LocalMachine,
                     "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE",
                     PATH_BUFFER, path) ||
        path.empty())
        return false;
    pocketPcInstallerPath = path;
    return true;
}

bool InstallerFinder::findPalmInstaller() {
    if (!registry_.openKey(RegistryRoot::ClassesRoot, ".PRC")) return false;
    std::string command;
    if (!readDefault(registry_, RegistryRoot::LocalMachine,
                     "Software\\Classes\\prcFile\\shell\\open\\command", VALUE_BUFFER, command))
        return false;
    std::size_t arg = command.find(" %1", 1);
    if (arg != std::string::npos) command.erase(arg);
    palmInstallerCommand = command;
    return true;
}

namespace {
// The installer of each platform, in the order of the platform table.
const struct {
    std::string InstallerFinder::*program;
    bool (InstallerFinder::*lookUp)();
} installers[PLATFORM_COUNT] = {
    {&InstallerFinder::psionInstallerCommand, &InstallerFinder::findPsionInstaller},
    {&InstallerFinder::nokiaInstallerCommand, &InstallerFinder::findNokiaInstaller},
    {&InstallerFinder::pocketPcInstallerPath, &InstallerFinder::findPocketPcInstaller},
    {&InstallerFinder::palmInstallerCommand, &InstallerFinder::findPalmInstaller},
};
}  // namespace

bool InstallerFinder::findInstaller(int platformIndex) {
    return platformAt(platformIndex) && (this->*installers[platformIndex].lookUp)();
}

const std::string& InstallerFinder::installerProgram(int platformIndex) const {
    static const std::string none;
    return platformAt(platformIndex) ? this->*installers[platformIndex].program : none;
}

bool detectInstallers(bool allPlatforms, bool (&present)[PLATFORM_COUNT], InstallerFinder& finder) {
    if (allPlatforms) {
        finder.findNokiaInstaller();
        for (bool& p : present) p = true;
        return true;
    }
    bool any = false;
    for (const HandheldPlatform& p : platformTable) {
        present[p.index] = finder.findInstaller(p.index);
        any = any || present[p.index];
    }
    return any;
}

}  // namespace actions
