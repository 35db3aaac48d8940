// setuptool resolve: expands a menu-script text reference with a disc's texts.
#include <cstdio>

#include "config_disc.h"

namespace {

const char* const USAGE = "resolve DISC [--language N] TEXT";

int run(const Arguments& args) {
    DiscArguments disc;
    if (!parseDiscArguments(args, true, disc)) return usageError(USAGE);
    SetupConfig config;
    int status = loadDisc(disc, config);
    if (status == 2) return status;
    std::string text = config.resolveText(disc.text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    return status;
}

const CommandRegistration registration("resolve", USAGE, run);

}  // namespace
