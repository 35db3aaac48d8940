#pragma once
#include <string>

// Decodes a compressed package into tempPath (created or truncated). Returns 0 or a negative
// archive code, having reported the failure. The temporary file is left for the caller.
int unpackArpk(const std::string& packagePath, const std::string& tempPath);
