// setuptool check: the report of Setup.exe's check mode, written the same way without windows,
// for the build scripts of disc authors. Exit status 0: every menu is complete; 1: something
// is missing (see report.txt); 2: the disc cannot be read, a script does not parse or the
// report cannot be written.
#include <cstdio>

#include "command.h"
#include "disc_check.h"
#include "platform/file_system.h"

namespace {

// --all is Setup.exe's -all: there it lets the check run without desktop software; the check
// itself always covers every platform's scripts, and setuptool needs no desktop software.
const char* const USAGE = "check DISC [--all]";

int run(const Arguments& args) {
    std::string disc;
    for (const std::string& a : args) {
        if (a == "--all") continue;
        if (!disc.empty() || a.empty() || a.rfind("--", 0) == 0) return usageError(USAGE);
        disc = a;
    }
    if (disc.empty()) return usageError(USAGE);

    DiscCheck check;
    if (int status = check.load(disc)) return status;

    // Never written through a link or a second name of another file.
    platform::FileSystem& fs = platform::systemFileSystem();
    platform::FilePtr report = fs.openPlainFile("report.txt", platform::CreateMode::Replace);
    if (!report) {
        std::string here;
        fs.currentFolder(here);
        std::fprintf(stderr, "setuptool: cannot create report.txt in %s\n", here.c_str());
        return 2;
    }
    CheckOutcome outcome = check.check(report.get());
    if (std::fclose(report.release()) != 0) {
        std::fprintf(stderr, "setuptool: cannot write report.txt\n");
        return 2;
    }
    return outcome.allOk ? 0 : 1;
}

const CommandRegistration registration("check", USAGE, run);

}  // namespace
