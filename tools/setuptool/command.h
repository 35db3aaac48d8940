#pragma once
// The sub-commands of setuptool register themselves, one file each.
#include <string>
#include <vector>

using Arguments = std::vector<std::string>;
using CommandFunction = int (*)(const Arguments& args);

struct CommandRegistration {
    // help, when given, is printed after the usage by "setuptool NAME --help".
    CommandRegistration(const char* name, const char* usage, CommandFunction function,
                        const char* help = nullptr);
};

// Prints "usage: setuptool <usage>" to standard error; returns the exit status 2.
int usageError(const char* usage);
