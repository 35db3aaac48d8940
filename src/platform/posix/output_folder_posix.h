#pragma once
#include <memory>
#include <string>

#include "platform/file_system.h"

namespace platform {

// An existing folder, given as this system spells it, to unpack into; null when it cannot be
// opened.
std::unique_ptr<OutputFolder> openPosixOutputFolder(const std::string& resolvedPath);

}  // namespace platform
