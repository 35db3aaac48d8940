#include "disc_check.h"

#include <filesystem>

#include "paths.h"
#include "platform/file_system.h"
#include "run/loader.h"

DiscCheck::DiscCheck()
    : line_("check: menu", false),
      progress_(line_, 0, "check: menu"),
      system_(platform::consoleSystem()) {
    messages_.progress = &line_;
    system_.messages = &messages_;
    system_.progress = &progress_;
}

int DiscCheck::load(const std::string& disc) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(pathOf(disc), ec).lexically_normal();
    if (ec || !platform::systemFileSystem().isFolder(textOf(folder))) {
        std::fprintf(stderr, "setuptool: not a folder: %s\n", disc.c_str());
        return 2;
    }
    // The program's own path names the folder; the loader cuts it after the separator.
    dataDir_ = textOf(folder);
    if (!platform::isSeparator(dataDir_.back())) dataDir_ += '\\';
    LoaderJob job{&dataDir_, &config_, &menuFiles_, true, system_, "setuptool", nullptr};
    if (runLoader(job) != LOADER_SUCCESS) {
        // A script that failed has said why; the settings fail silently.
        if (messages_.last.empty())
            std::fprintf(
                stderr,
                "setuptool: cannot load the settings of %s (rsc\\rscinfo.ini, skin bitmaps)\n",
                dataDir_.c_str());
        return 2;
    }
    return 0;
}

CheckOutcome DiscCheck::check(std::FILE* report) {
    CheckOutcome outcome = checkAllMenus(report, menuFiles_, system_);
    line_.finish();
    return outcome;
}
