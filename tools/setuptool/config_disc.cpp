#include "config_disc.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "paths.h"
#include "platform/file_system.h"

namespace {
bool parseNumber(const std::string& s, int& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end || v < -1000000 || v > 1000000) return false;
    out = static_cast<int>(v);
    return true;
}
}  // namespace

bool parseDiscArguments(const Arguments& args, bool wantText, DiscArguments& out) {
    int positional = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--language") {
            if (i + 1 >= args.size() || !parseNumber(args[++i], out.language)) return false;
        } else if (positional == 0) {
            out.disc = args[i];
            ++positional;
        } else if (positional == 1 && wantText) {
            out.text = args[i];
            ++positional;
        } else {
            return false;
        }
    }
    return positional == (wantText ? 2 : 1) && !out.disc.empty();
}

int loadDisc(const DiscArguments& args, SetupConfig& config) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::absolute(pathOf(args.disc), ec);
    if (ec || !platform::systemFileSystem().isFolder(textOf(folder))) {
        std::fprintf(stderr, "setuptool: not a folder: %s\n", args.disc.c_str());
        return 2;
    }
    // The program names the folder with a trailing backslash and builds paths onto it.
    std::string dir = textOf(folder);
    if (!platform::isSeparator(dir.back())) dir += '\\';
    config.unicodeTexts = true;
    bool loaded = config.load(dir);
    if (args.language >= 0) config.selectLanguage(args.language);
    if (loaded) return 0;
    for (int i = 0; i < SKIN_COUNT; ++i) {
        if (i == SKIN_SPLASH || config.getBitmap(i)) continue;
        std::fprintf(stderr, "setuptool: skin bitmap missing or not a valid bitmap: %s\n",
                     skinFileNames[i]);
        break;
    }
    return 1;
}
