// setuptool pack: builds an APK package of every file under a folder.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "archive_files.h"
#include "command.h"
#include "json_text.h"
#include "platform/file_system.h"

namespace {

const char* const USAGE = "pack [--compress] [--escape N] SRC_DIR PACKAGE.APK";

int fail(const std::string& text) {
    std::fprintf(stderr, "setuptool pack: %s\n", text.c_str());
    return 1;
}

bool collect(const std::filesystem::path& root, std::vector<ArchiveEntry>& entries,
             std::string& error) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file()) files.push_back(it->path());
    if (ec) {
        error = "cannot read " + root.string() + ": " + ec.message();
        return false;
    }
    for (const auto& p : files) {
        ArchiveEntry e;
        e.name = std::filesystem::relative(p, root).generic_string();
        std::replace(e.name.begin(), e.name.end(), '/', '\\');
        // The times before the content: reading may move the access time.
        std::int64_t access = 0, modify = 0;
        platform::systemFileSystem().getFileTimes(p.string(), access, modify);
        e.accessTime = static_cast<std::int32_t>(access);
        e.modifyTime = static_cast<std::int32_t>(modify);
        if (!readWholeFile(p.string(), e.data)) {
            error = "cannot read " + p.string();
            return false;
        }
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const ArchiveEntry& a, const ArchiveEntry& b) { return a.name < b.name; });
    return true;
}

int run(const Arguments& args) {
    bool compress = false;
    ArpkEncoderOptions options;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--compress") {
            compress = true;
        } else if (args[i] == "--escape" && i + 1 < args.size()) {
            char* end = nullptr;
            long v = std::strtol(args[++i].c_str(), &end, 0);
            if (*end != 0 || v < 0 || v > 255) return usageError(USAGE);
            options.escape = static_cast<int>(v);
        } else if (args[i].rfind("--", 0) != 0) {
            paths.push_back(args[i]);
        } else {
            return usageError(USAGE);
        }
    }
    if (paths.size() != 2) return usageError(USAGE);

    std::vector<ArchiveEntry> entries;
    std::string archive, error;
    if (!collect(paths[0], entries, error)) return fail(error);
    if (!buildFileArchive(entries, archive, error)) return fail(error);
    std::string package = archive;
    if (compress)
        package = encodeArpk(reinterpret_cast<const unsigned char*>(archive.data()), archive.size(),
                             options);
    if (!writeWholeFile(paths[1], package)) return fail("cannot write " + paths[1]);
    printJson({{"files", entries.size()},
               {"archiveSize", archive.size()},
               {"packageSize", package.size()},
               {"compressed", compress}});
    return 0;
}

const CommandRegistration registration("pack", USAGE, run);

}  // namespace
