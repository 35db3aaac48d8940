#include "archive_files.h"

#include <cstdio>

#include "platform/file_system.h"

bool readWholeFile(const std::string& path, std::string& out) {
    platform::FilePtr f(platform::systemFileSystem().openFile(path, "rb"));
    if (!f) return false;
    out.clear();
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) out.append(buffer, n);
    return !std::ferror(f.get());
}

bool writeWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = platform::systemFileSystem().openFile(path, "wb").release();
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
