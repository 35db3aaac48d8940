#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <optional>

#include "paths.h"
#include "platform/code_page.h"
#include "platform/win32/wide_text_win.h"

namespace {
struct LocalMemory {
    wchar_t** words;
    ~LocalMemory() { ::LocalFree(words); }
};
}  // namespace

// The ANSI argv would have turned every character outside the code page into '?' and given
// the rest as code-page bytes, which the core would take for UTF-8.
Arguments commandArguments(int, char**) {
    int count = 0;
    LocalMemory list{::CommandLineToArgvW(::GetCommandLineW(), &count)};
    Arguments args;
    for (int i = 1; list.words && i < count; ++i)
        args.push_back(platform::win32::narrow(list.words[i]));
    return args;
}

std::filesystem::path pathOf(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string textOf(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool packageNameOf(const std::filesystem::path& relative, std::string& name) {
    std::optional<std::string> bytes = platform::ansiCodePage().fromUtf8(textOf(relative));
    if (!bytes) return false;
    name = *bytes;
    std::replace(name.begin(), name.end(), '/', '\\');
    return true;
}
