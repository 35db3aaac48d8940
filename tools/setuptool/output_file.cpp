#include "output_file.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "paths.h"

namespace fs = std::filesystem;

namespace {
// An output folder takes names in the code page's bytes, as a package's entries have them: a
// name beyond ASCII, which the code page may lack, gives way to the tool's own.
std::string temporaryStem(const fs::path& output) {
    std::string name = textOf(output.filename());
    bool ascii = std::all_of(name.begin(), name.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii ? name : "setuptool";
}
}  // namespace

platform::FilePtr createTemporary(const fs::path& output, fs::path& temp) {
    fs::path folder = output.parent_path().empty() ? fs::path(".") : output.parent_path();
    std::unique_ptr<platform::OutputFolder> out =
        platform::systemFileSystem().openOutputFolder(textOf(folder));
    if (!out) return nullptr;
    const std::string stem = temporaryStem(output);
    for (int n = 0; n < 100; ++n) {
        std::string name = stem + "." + std::to_string(n) + ".part";
        errno = 0;
        if (platform::FilePtr f = out->createFile(name, platform::CreateMode::New, {})) {
            temp = folder / name;
            return f;
        }
        if (errno != EEXIST) break;
    }
    return nullptr;
}
