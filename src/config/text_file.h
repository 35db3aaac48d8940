#pragma once
// Text files of a disc (the acceptance texts of a language), read as the C run-time's text
// mode reads them on Windows.
#include <cstddef>
#include <string>

namespace platform {
class FileSystem;
}

// The most a text file may hold. An accept page shows its text in an edit box, where a
// licence of some tens of kilobytes is long; a megabyte leaves room for any honest text.
inline constexpr std::size_t TEXT_FILE_LIMIT = 1024 * 1024;

// Appends every line of the file to out, each followed by CR LF, and returns the bytes the
// file held. A file that cannot be opened, is no regular file or holds more than limit bytes
// leaves out as it is (and counts 0).
std::size_t readTextFile(platform::FileSystem& fs, const std::string& path, std::string& out,
                         std::size_t limit = TEXT_FILE_LIMIT);
