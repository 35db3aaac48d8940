#pragma once
// The sub-commands of setuptool register themselves, one file each.
#include <string>
#include <vector>

using Arguments = std::vector<std::string>;
using CommandFunction = int (*)(const Arguments& args);

struct CommandRegistration {
    CommandRegistration(const char* name, const char* usage, CommandFunction function);
};

// Prints "usage: setuptool <usage>" to standard error; returns the exit status 2.
int usageError(const char* usage);
