#pragma once
#include <string>

#include "platform/file_system.h"

class DecodeFeed;

// Decodes a compressed package into tempPath (created or truncated). Returns 0 or a negative
// archive code, having reported the failure. The temporary file is left for the caller.
int unpackArpk(const std::string& packagePath, const std::string& tempPath);

// The same into a temporary file the caller has created (tempPath names it in messages); the
// file is closed at the end. With a feed, an extractor reads the file along (each write-out
// is announced to it) and may stop the decoding.
int unpackArpk(const std::string& packagePath, platform::FilePtr temp, const std::string& tempPath,
               DecodeFeed* feed = nullptr);

// How many times the last decoding read earlier output back from its temporary file (the
// copies that neither the head cache nor the window of recent output could serve).
std::int64_t arpkReadsBack();
