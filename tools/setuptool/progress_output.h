#pragma once
// The progress line of the long commands on standard error: shown when it is a terminal,
// nothing otherwise (see platform/console_progress.h).
#include "platform/console_progress.h"

class StderrProgress : public platform::ConsoleProgress {
public:
    StderrProgress(std::string label, bool bytes);
};
