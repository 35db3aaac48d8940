// The Windows profile functions themselves; they open the file at every call.
#include <windows.h>

#include "config/profile_reader.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/wide_text_win.h"

namespace {

using platform::win32::narrow;
using platform::win32::wide;

constexpr DWORD VALUE_BUFFER = 256;

platform::FileMark markOf(const std::string& path) {
    platform::win32::FileHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char start[3] = {};
    DWORD got = 0;
    if (!file || !ReadFile(file.get(), start, sizeof start, &got, nullptr)) return {};
    return platform::fileMark(std::string_view(start, got));
}

class Win32Profile : public ProfileReader {
public:
    Win32Profile(std::string path, platform::FileMark mark)
        : path_(wide(path)), unicode_(mark != platform::FileMark::None) {}

    // As the ANSI function gives it (the path is UTF-8, so the wide function reads and the
    // value is turned into the ANSI code page, '?' for what it lacks), within its buffer.
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        std::wstring value =
            readWide(section, key, platform::asUtf8(fallback, platform::TextEncoding::Ansi));
        int n = WideCharToMultiByte(CP_ACP, 0, value.data(), static_cast<int>(value.size()),
                                    nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            WideCharToMultiByte(CP_ACP, 0, value.data(), static_cast<int>(value.size()), out.data(),
                                n, nullptr, nullptr);
        if (out.size() > VALUE_BUFFER - 1) out.resize(VALUE_BUFFER - 1);
        return out;
    }

    int readInt(const std::string& section, const std::string& key, int fallback) override {
        return static_cast<int>(GetPrivateProfileIntW(wide(section).c_str(), wide(key).c_str(),
                                                      fallback, path_.c_str()));
    }

    platform::TextEncoding encoding() const override {
        return unicode_ ? platform::TextEncoding::Utf8 : platform::TextEncoding::Ansi;
    }

    // A UTF-16 file through the wide function: every character comes through.
    std::string readText(const std::string& section, const std::string& key,
                         const std::string& fallback) override {
        if (!unicode_) return readString(section, key, fallback);
        return narrow(readWide(section, key, fallback));
    }

private:
    std::wstring readWide(const std::string& section, const std::string& key,
                          const std::string& fallback) {
        wchar_t buffer[VALUE_BUFFER] = {};
        DWORD n =
            GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(),
                                     wide(fallback).c_str(), buffer, VALUE_BUFFER, path_.c_str());
        return std::wstring(buffer, n);
    }

    std::wstring path_;
    bool unicode_;
};

}  // namespace

std::unique_ptr<ProfileReader> openWin32Profile(const std::string& path) {
    platform::FileMark mark = markOf(path);
    if (mark == platform::FileMark::Utf8)
        return openPortableProfile(platform::systemFileSystem(), path);
    return std::make_unique<Win32Profile>(path, mark);
}

std::unique_ptr<ProfileReader> openSystemProfile(platform::FileSystem&, const std::string& path) {
    return openWin32Profile(path);
}
