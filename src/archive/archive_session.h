#pragma once
// Module state of the unpacker: one extraction at a time. Tests reset it between cases.
#include <string>

#include "archive/package_extractor.h"
#include "platform/system.h"

struct ArchiveSession {
    platform::System system{};
    bool active = false;
    std::string savedDirectory;  // working directory at the call, restored on every way out

    void reset() { *this = ArchiveSession(); }
};

ArchiveSession& archiveSession();

// The format with its first "%s" replaced by argument.
std::string formatArchiveMessage(const char* format, const std::string& argument);

// Fails the current layer: reports once and hands the code back.
inline int archiveFailure(int code, const char* format, const std::string& argument = {}) {
    reportArchiveError(format, argument);
    return code;
}
