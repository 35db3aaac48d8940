#pragma once
// Links planted in a folder before a test runs, as a hostile user would leave them.
#include <filesystem>
#include <string>

namespace testing_support {

// A symbolic link at link to target (which need not exist). Natively a POSIX link; under Wine
// a Unix link made by ln, as a Linux user's own tools leave them (Wine shows one to a file as a
// plain file); on Windows a symbolic link, false when this account may not make one.
bool makeSymlink(const std::filesystem::path& target, const std::filesystem::path& link,
                 bool folder = false);

// True for a link to a folder (under Wine: a Unix link to one, which shows as a reparse point).
bool isFolderLink(const std::filesystem::path& p);

}  // namespace testing_support
