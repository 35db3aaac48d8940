#pragma once
// Module state of the unpacker: one extraction at a time. Tests reset it between cases.
#include <string>

#include "archive/package_extractor.h"
#include "platform/system.h"

class DecodeFeed;

struct ArchiveSession {
    platform::System system{};
    bool active = false;
    std::string savedDirectory;  // working directory at the call, restored on every way out
    DecodeFeed* feed = nullptr;  // set while a decoder and an extractor run at once

    void reset() { *this = ArchiveSession(); }
};

ArchiveSession& archiveSession();

// The format with its first "%s" replaced by argument, control bytes of which are escaped.
std::string formatArchiveMessage(const char* format, const std::string& argument);

// Fails the current layer: reports once (or, while two threads work, holds the report for
// the main thread) and hands the code back.
int archiveFailure(int code, const char* format, const std::string& argument = {});
