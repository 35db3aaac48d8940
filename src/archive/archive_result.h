#pragma once
// What one extraction hands down to its decoder and its extractor, as a library's handle
// does: the services, the first failure with the message it shows, and what was counted.
// The layers set a failure here and return its code; nothing below the package operation
// shows or logs anything.
#include <cstdint>
#include <string>

#include "platform/system.h"

// Result codes of the unpacker.
enum ArchiveResult : int {
    ARCHIVE_OK = 0,
    ARCHIVE_ERR_MEMORY = -1,
    ARCHIVE_ERR_IO = -2,       // read, write or seek; working or destination folder unusable
    ARCHIVE_ERR_OPEN = -3,     // package, archive or output file cannot be opened
    ARCHIVE_ERR_INVALID = -4,  // not a valid archive, or a name that leaves the destination
};

// A failure, ready to be shown.
struct ArchiveError {
    int code = ARCHIVE_OK;
    std::string message;
    // It happened with the destination as the working directory: it is logged there.
    bool inDestination = false;
};

// The format with its first "%s" replaced by argument, control bytes of which are escaped
// (names come from the package: they must not reach a terminal or the log as they are).
ArchiveError archiveError(int code, const char* format, const std::string& argument = {});

struct ArchiveStats {
    // Copies of a compressed package read back from its temporary file: those that neither
    // the head cache nor the window of recent output could serve.
    std::int64_t readsBack = 0;
};

// One per extraction and thread: nothing in it is shared.
class ArchiveContext {
public:
    explicit ArchiveContext(const platform::System& services) : system(services) {}

    // Keeps the first failure (and where the working directory is now); returns code.
    int fail(int code, const char* format, const std::string& argument = {});
    int fail(ArchiveError e);
    bool failed() const { return error.code != ARCHIVE_OK; }

    platform::System system;
    ArchiveError error;
    ArchiveStats stats;
    bool inDestination = false;  // the extractor made the destination the working directory
};
