#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace platform {

// An existing folder to unpack into; null when it is not a folder.
std::unique_ptr<OutputFolder> openWin32OutputFolder(const std::string& path);

// Seconds since 1970-01-01 UTC as a FILETIME.
FILETIME unixToFileTime(std::int64_t t);

}  // namespace platform
