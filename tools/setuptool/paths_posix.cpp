#include <algorithm>

#include "paths.h"

Arguments commandArguments(int argc, char** argv) {
    return Arguments(argv + std::min(argc, 1), argv + argc);
}

std::filesystem::path pathOf(const std::string& text) {
    return std::filesystem::path(text);
}

std::string textOf(const std::filesystem::path& path) {
    return path.string();
}

// The bytes of the name as the file system holds them: an author who packs on Linux names the
// files in the code page's bytes or, better, in ASCII.
bool packageNameOf(const std::filesystem::path& relative, std::string& name) {
    name = relative.generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return true;
}
