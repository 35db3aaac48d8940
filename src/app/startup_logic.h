#pragma once
#include <string>

struct CommandLineFlags {
    bool allPlatforms = false;
    bool checkMode = false;
};

// "-all" and "-check" anywhere in the whole command line, case-sensitive substrings: the
// program path counts too.
CommandLineFlags readCommandLine(const std::string& commandLine);
