#pragma once
// Text files of a disc (the acceptance texts of a language), read as the C run-time's text
// mode reads them on Windows.
#include <string>

namespace platform {
class FileSystem;
}

// Appends every line of the file to out, each followed by CR LF. A file that cannot be
// opened leaves out as it is.
void readTextFile(platform::FileSystem& fs, const std::string& path, std::string& out);
