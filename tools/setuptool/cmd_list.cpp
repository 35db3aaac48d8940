// setuptool list: the files of a package with their sizes and times.
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "archive/archive_session.h"
#include "archive/archive_writer.h"
#include "archive/arpk_decoder.h"
#include "archive_files.h"
#include "command.h"
#include "json_text.h"

namespace {

const char* const USAGE = "list PACKAGE";

int fail(const std::string& message) {
    printJson({{"result", -4}, {"message", byteText(message)}, {"files", nullptr}});
    return 1;
}

// Decodes a compressed package through a temporary file, as Setup would.
int decompress(const std::string& package, std::string& archive, std::string& message) {
    LastMessageSink sink;
    ArchiveSession& session = archiveSession();
    session.reset();
    session.system = platform::consoleSystem();
    session.system.messages = &sink;
    session.active = true;
    session.system.fs->currentFolder(session.savedDirectory);
    std::string temp = (std::filesystem::temp_directory_path() / "setuptool-list.arh").string();
    int r = unpackArpk(package, temp);
    if (r == 0 && !readWholeFile(temp, archive)) r = -2;
    std::remove(temp.c_str());
    session.reset();
    message = sink.last;
    return r;
}

int run(const Arguments& args) {
    if (args.size() != 1) return usageError(USAGE);
    std::string bytes;
    if (!readWholeFile(args[0], bytes)) return fail("cannot read " + args[0]);
    bool compressed = bytes.size() >= 4 && std::memcmp(bytes.data(), "ARPK", 4) == 0;
    if (compressed) {
        std::string archive, message;
        int r = decompress(args[0], archive, message);
        if (r != 0) {
            printJson({{"result", r}, {"message", byteText(message)}, {"files", nullptr}});
            return 1;
        }
        bytes.swap(archive);
    }
    std::int32_t totalSize = 0;
    std::vector<ListedEntry> entries;
    std::string error;
    if (!listFileArchive(bytes, totalSize, entries, error)) return fail(error);
    Json files = Json::array();
    for (const ListedEntry& e : entries)
        files.push_back({{"name", byteText(e.name)},
                         {"size", e.dataSize < 0 ? 0 : e.dataSize},
                         {"accessTime", e.accessTime},
                         {"modifyTime", e.modifyTime}});
    printJson({{"result", 0},
               {"message", ""},
               {"compressed", compressed},
               {"totalSize", totalSize},
               {"files", files}});
    return 0;
}

const CommandRegistration registration("list", USAGE, run);

}  // namespace
