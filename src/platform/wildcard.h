#pragma once
#include <string>

namespace platform {

// Windows-style name pattern: '*' any run, '?' one byte, case-insensitive; "*.*" matches
// every name, also names without a point.
bool wildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace platform
