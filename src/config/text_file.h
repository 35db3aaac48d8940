#pragma once
// Text files of a disc (the acceptance texts of a language, the copyright texts of programs),
// read as the C run-time's text mode reads them on Windows. A file that begins with a
// byte-order mark is Unicode and read as UTF-8 (text_encoding.h); any other stays its bytes.
#include <cstddef>
#include <string>

#include "platform/text_encoding.h"

namespace platform {
class FileSystem;
}

// The most a text file may hold. An accept page shows its text in an edit box, where a
// licence of some tens of kilobytes is long; a megabyte leaves room for any honest text.
inline constexpr std::size_t TEXT_FILE_LIMIT = 1024 * 1024;

// Appends every line of the file to out, each followed by CR LF, and returns the bytes the
// file held. A file that cannot be opened, is no regular file or holds more than limit bytes
// leaves out as it is (and counts 0). encoding, when given, receives what the lines are in.
std::size_t readTextFile(platform::FileSystem& fs, const std::string& path, std::string& out,
                         std::size_t limit = TEXT_FILE_LIMIT,
                         platform::TextEncoding* encoding = nullptr);
