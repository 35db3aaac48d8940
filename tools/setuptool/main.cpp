// setuptool: the toolbox of the people who make setup discs.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "command.h"

namespace {
struct Entry {
    const char* usage;
    CommandFunction function;
};
std::map<std::string, Entry>& commands() {
    static std::map<std::string, Entry> table;
    return table;
}

int printUsage() {
    std::fprintf(stderr, "usage: setuptool COMMAND ...\ncommands:\n");
    for (const auto& [name, entry] : commands()) std::fprintf(stderr, "  %s\n", entry.usage);
    return 2;
}
}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage,
                                         CommandFunction function) {
    commands()[name] = Entry{usage, function};
}

int usageError(const char* usage) {
    std::fprintf(stderr, "usage: setuptool %s\n", usage);
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2) return printUsage();
    auto it = commands().find(argv[1]);
    if (it == commands().end()) {
        std::fprintf(stderr, "setuptool: unknown command '%s'\n", argv[1]);
        return printUsage();
    }
    Arguments args(argv + 2, argv + argc);
    return it->second.function(args);
}
