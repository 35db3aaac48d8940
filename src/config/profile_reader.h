#pragma once
// rscinfo.ini is read by the rules of the Windows profile functions: names match without
// regard to case, blanks around names and values are dropped, one pair of quotes around a
// value goes, and a value is cut to 255 characters.
#include <memory>
#include <string>

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
};

// Parses the file itself; a missing file reads as an empty one.
std::unique_ptr<ProfileReader> openPortableProfile(platform::FileSystem& fs,
                                                   const std::string& path);
#ifdef _WIN32
// GetPrivateProfileStringA / GetPrivateProfileIntA; path must be absolute.
std::unique_ptr<ProfileReader> openWin32Profile(const std::string& path);
#endif
// The reader of the system the program runs on: Win32 on Windows, portable elsewhere.
std::unique_ptr<ProfileReader> openSystemProfile(platform::FileSystem& fs, const std::string& path);
