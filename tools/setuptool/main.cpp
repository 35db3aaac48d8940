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
    const char* help;
};
std::map<std::string, Entry>& commands() {
    static std::map<std::string, Entry> table;
    return table;
}

int printUsage(std::FILE* to = stderr) {
    std::fprintf(to, "usage: setuptool COMMAND ...\ncommands:\n");
    for (const auto& [name, entry] : commands()) std::fprintf(to, "  %s\n", entry.usage);
    std::fprintf(to, "setuptool COMMAND --help shows more of a command\n");
    return to == stderr ? 2 : 0;
}
}  // namespace

CommandRegistration::CommandRegistration(const char* name, const char* usage,
                                         CommandFunction function, const char* help) {
    commands()[name] = Entry{usage, function, help};
}

int usageError(const char* usage) {
    std::fprintf(stderr, "usage: setuptool %s\n", usage);
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2) return printUsage();
    if (std::strcmp(argv[1], "--help") == 0) return printUsage(stdout);
    auto it = commands().find(argv[1]);
    if (it == commands().end()) {
        std::fprintf(stderr, "setuptool: unknown command '%s'\n", argv[1]);
        return printUsage();
    }
    Arguments args(argv + 2, argv + argc);
    if (args.size() == 1 && args[0] == "--help") {
        std::printf("usage: setuptool %s\n%s", it->second.usage,
                    it->second.help ? it->second.help : "");
        return 0;
    }
    return it->second.function(args);
}
