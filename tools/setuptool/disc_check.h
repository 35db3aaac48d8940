#pragma once
// A disc folder loaded as Setup.exe -check loads it (settings, every script parsed in full)
// and its check, for setuptool check and for the commands that need a complete disc first.
#include <cstdio>
#include <string>

#include "config/setup_config.h"
#include "last_message_sink.h"
#include "menu/menu_file.h"
#include "platform/console_progress.h"
#include "platform/system.h"
#include "progress_output.h"
#include "run/check.h"

class DiscCheck {
public:
    DiscCheck();
    DiscCheck(const DiscCheck&) = delete;
    DiscCheck& operator=(const DiscCheck&) = delete;

    // 0 when the disc is loaded; 2 after saying on standard error why it is not (not a
    // folder, a script that does not parse, settings that do not load).
    int load(const std::string& disc);
    // Writes the report of every menu to report and ends the progress line.
    CheckOutcome check(std::FILE* report);

    SetupConfig& config() { return config_; }
    // The disc folder, ending in a separator.
    const std::string& dataDir() const { return dataDir_; }

private:
    StderrProgress line_;
    platform::ConsoleProgressSink progress_;
    LastMessageSink messages_;
    platform::System system_;
    SetupConfig config_;
    MenuFileList menuFiles_;
    std::string dataDir_;
};
