#include "output_file.h"

#include <cerrno>
#include <string>

namespace fs = std::filesystem;

platform::FilePtr createTemporary(const fs::path& output, fs::path& temp) {
    fs::path folder = output.parent_path().empty() ? fs::path(".") : output.parent_path();
    std::unique_ptr<platform::OutputFolder> out =
        platform::systemFileSystem().openOutputFolder(folder.string());
    if (!out) return nullptr;
    for (int n = 0; n < 100; ++n) {
        std::string name = output.filename().string() + "." + std::to_string(n) + ".part";
        errno = 0;
        if (platform::FilePtr f = out->createFile(name, platform::CreateMode::New, {})) {
            temp = folder / name;
            return f;
        }
        if (errno != EEXIST) break;
    }
    return nullptr;
}
