// setuptool install: runs one platform's install operation on a package, exactly as an
// install option of a disc would, against the desktop installer registered on this machine.
#include <cstdio>

#include "actions/package_installer.h"
#include "command.h"
#include "json_text.h"
#include "platform/handheld_platform.h"

namespace {

const char* const USAGE = "install EPOC|N9210|POCKETPC|PALM BASE_PATH";

int run(const Arguments& args) {
    if (args.size() != 2) return usageError(USAGE);
    const HandheldPlatform* chosen = findPlatform(args[0]);
    if (!chosen) return usageError(USAGE);
#ifdef _WIN32
    platform::System system = platform::consoleSystem();
    actions::ActionServices services = actions::systemActionServices(system);
    actions::InstallerFinder finder(platform::systemRegistry());
    actions::PackageInstaller installer(services, finder, "setuptool");
    bool result = installer.installForPlatform(chosen->index, args[1]);
#else
    // The desktop installers are Windows programs, found in the Windows registry.
    std::fprintf(stderr, "setuptool: installing needs Windows (run setuptool.exe)\n");
    bool result = false;
#endif
    printJson({{"result", result}});
    return result ? 0 : 1;
}

const CommandRegistration registration("install", USAGE, run);

}  // namespace
