// setuptool check: the report of Setup.exe's check mode, written the same way without windows,
// for the build scripts of disc authors. Exit status 0: every menu is complete; 1: something
// is missing (see report.txt); 2: the disc cannot be read, a script does not parse or the
// report cannot be written.
#include <cstdio>
#include <filesystem>

#include "run/check.h"
#include "run/loader.h"
#include "command.h"
#include "config/setup_config.h"
#include "last_message_sink.h"
#include "platform/file_system.h"
#include "progress_output.h"

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

    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(disc, ec).lexically_normal();
    platform::FileSystem& fs = platform::systemFileSystem();
    if (ec || !fs.isFolder(folder.string())) {
        std::fprintf(stderr, "setuptool: not a folder: %s\n", disc.c_str());
        return 2;
    }
    // The program's own path names the folder; the loader cuts it after the separator.
    std::string dataDir = folder.string();
    if (!platform::isSeparator(dataDir.back())) dataDir += '\\';

    StderrProgress line("check: menu", false);
    platform::ConsoleProgressSink progress(line, 0, "check: menu");
    LastMessageSink messages;
    messages.progress = &line;
    platform::System system = platform::consoleSystem();
    system.messages = &messages;
    system.progress = &progress;
    SetupConfig config;
    MenuFileList menuFiles;
    LoaderJob job{&dataDir, &config, &menuFiles, true, system, "setuptool", nullptr};
    if (runLoader(job) != LOADER_SUCCESS) {
        // A script that failed has said why; the settings fail silently.
        if (messages.last.empty())
            std::fprintf(
                stderr,
                "setuptool: cannot load the settings of %s (rsc\\rscinfo.ini, skin bitmaps)\n",
                dataDir.c_str());
        return 2;
    }

    // Never written through a link or a second name of another file.
    platform::FilePtr report = fs.openPlainFile("report.txt", platform::CreateMode::Replace);
    if (!report) {
        std::string here;
        fs.currentFolder(here);
        std::fprintf(stderr, "setuptool: cannot create report.txt in %s\n", here.c_str());
        return 2;
    }
    CheckOutcome outcome = checkAllMenus(report.get(), menuFiles, system);
    line.finish();
    if (std::fclose(report.release()) != 0) {
        std::fprintf(stderr, "setuptool: cannot write report.txt\n");
        return 2;
    }
    return outcome.allOk ? 0 : 1;
}

const CommandRegistration registration("check", USAGE, run);

}  // namespace
