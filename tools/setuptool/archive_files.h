#pragma once
// File helpers of the archive commands.
#include <string>

#include "last_message_sink.h"

bool readWholeFile(const std::string& path, std::string& out);
bool writeWholeFile(const std::string& path, const std::string& bytes);
