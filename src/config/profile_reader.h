#pragma once
// rscinfo.ini is read by the rules of the Windows profile functions: names match without
// regard to case, blanks around names and values are dropped, one pair of quotes around a
// value goes, and a value is cut to 255 characters.
//
// A file with a byte-order mark is Unicode. readText gives its values in UTF-8 (cut to 255
// UTF-16 units, as the wide profile functions cut them); readString and readInt read every
// file as the ANSI profile functions do, a Unicode one in Windows-1252 with '?' for what that
// lacks. For a file without a mark readText and readString are the same bytes.
#include <memory>
#include <string>

#include "platform/text_encoding.h"

namespace platform {
class FileSystem;
}

class ProfileReader {
public:
    virtual ~ProfileReader() = default;
    // The value of key in section; fallback when the key is missing.
    virtual std::string readString(const std::string& section, const std::string& key,
                                   const std::string& fallback) = 0;
    // The value read as a number; fallback when the key is missing or empty.
    virtual int readInt(const std::string& section, const std::string& key, int fallback) = 0;
    // What readText gives: UTF-8 for a Unicode file, the file's bytes for any other.
    virtual platform::TextEncoding encoding() const { return platform::TextEncoding::Ansi; }
    // The value in the file's own encoding (section, key and fallback in the same).
    virtual std::string readText(const std::string& section, const std::string& key,
                                 const std::string& fallback) {
        return readString(section, key, fallback);
    }
};

// Parses the file itself; a missing file reads as an empty one.
std::unique_ptr<ProfileReader> openPortableProfile(platform::FileSystem& fs,
                                                   const std::string& path);
#ifdef _WIN32
// GetPrivateProfileStringA / GetPrivateProfileIntA, and for the texts of a UTF-16 file
// GetPrivateProfileStringW; path must be absolute. The system reads a UTF-8 file as ANSI (its
// mark part of the first line), so such a file is read by the portable reader instead.
std::unique_ptr<ProfileReader> openWin32Profile(const std::string& path);
#endif
// The reader of the system the program runs on: Win32 on Windows, portable elsewhere.
std::unique_ptr<ProfileReader> openSystemProfile(platform::FileSystem& fs, const std::string& path);
