#pragma once
// A command's output file is written under a temporary name beside it and renamed when
// complete, so that a failed command leaves nothing half written.
#include <filesystem>

#include "platform/file_system.h"

// A new file beside output ("NAME.N.part", "setuptool.N.part" for a name beyond ASCII), never
// one already there; null when none can be
// made. temp receives its path.
platform::FilePtr createTemporary(const std::filesystem::path& output, std::filesystem::path& temp);
