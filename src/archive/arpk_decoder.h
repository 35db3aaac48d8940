#pragma once
#include <string>

#include "archive/archive_result.h"
#include "platform/file_system.h"

class DecodeFeed;

// Decodes a compressed package into tempPath (created or truncated). Returns 0 or a negative
// archive code, the failure set on context. The temporary file is left for the caller.
int unpackArpk(const std::string& packagePath, const std::string& tempPath,
               ArchiveContext& context);

// The same into a temporary file the caller has created (tempPath names it in messages); the
// file is closed at the end. With a feed, an extractor reads the file along (each write-out
// is announced to it) and may stop the decoding. The copies read back are added to
// context.stats.
int unpackArpk(const std::string& packagePath, platform::FilePtr temp, const std::string& tempPath,
               ArchiveContext& context, DecodeFeed* feed = nullptr);
