// setuptool: the toolbox of the people who make setup discs.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "command.h"
#include "paths.h"
#include "platform/code_page.h"

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
    std::fprintf(to,
                 "--codepage N anywhere: the ANSI code page of files without a byte-order mark "
                 "(default 1252)\n");
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

// Takes "--codepage N" out of the arguments and makes N the ANSI code page; false for a code
// page the system does not know.
bool takeCodePage(Arguments& args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] != "--codepage") continue;
        char* end = nullptr;
        long number = std::strtol(args[i + 1].c_str(), &end, 10);
        auto page =
            *end || number <= 0 || number > 65535 ? nullptr : platform::openCodePage(int(number));
        if (!page) {
            std::fprintf(stderr, "setuptool: unknown code page %s\n", args[i + 1].c_str());
            return false;
        }
        platform::setAnsiCodePage(std::move(page));
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        return true;
    }
    return true;
}

int main(int argc, char** argv) {
    Arguments all = commandArguments(argc, argv);
    if (!takeCodePage(all)) return 2;
    if (all.empty()) return printUsage();
    if (all[0] == "--help") return printUsage(stdout);
    auto it = commands().find(all[0]);
    if (it == commands().end()) {
        std::fprintf(stderr, "setuptool: unknown command '%s'\n", all[0].c_str());
        return printUsage();
    }
    Arguments args(all.begin() + 1, all.end());
    if (args.size() == 1 && args[0] == "--help") {
        std::printf("usage: setuptool %s\n%s", it->second.usage,
                    it->second.help ? it->second.help : "");
        return 0;
    }
    return it->second.function(args);
}
