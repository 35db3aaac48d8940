#include "app/startup_logic.h"

CommandLineFlags readCommandLine(const std::string& commandLine) {
    CommandLineFlags flags;
    flags.allPlatforms = commandLine.find("-all") != std::string::npos;
    flags.checkMode = commandLine.find("-check") != std::string::npos;
    return flags;
}
