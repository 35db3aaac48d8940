// setuptool list: the files of a package with their sizes and times, read from its directory
// alone (a compressed package is decoded only as far as its names).
#include "archive/package_lister.h"
#include "command.h"
#include "json_text.h"

namespace {

const char* const USAGE = "list PACKAGE";

int run(const Arguments& args) {
    if (args.size() != 1) return usageError(USAGE);
    PackageListing listing;
    std::string message;
    int r = listPackage(platform::systemFileSystem(), args[0], listing, message);
    if (r != 0) {
        std::fwrite(message.data(), 1, message.size(), stderr);
        printJson({{"result", r}, {"message", byteText(message)}, {"files", nullptr}});
        return 1;
    }
    Json files = Json::array();
    for (const ListedEntry& e : listing.entries)
        files.push_back({{"name", byteText(e.name)},
                         {"size", e.dataSize < 0 ? 0 : e.dataSize},
                         {"accessTime", e.accessTime},
                         {"modifyTime", e.modifyTime}});
    printJson({{"result", 0},
               {"message", ""},
               {"compressed", listing.compressed},
               {"totalSize", listing.totalSize},
               {"files", files}});
    return 0;
}

const CommandRegistration registration("list", USAGE, run);

}  // namespace
