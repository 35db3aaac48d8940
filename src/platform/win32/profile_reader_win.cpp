// The Windows profile functions themselves; they open the file at every call.
#include <windows.h>

#include "config/profile_reader.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/win32/handle_win.h"

namespace {

constexpr DWORD VALUE_BUFFER = 256;

std::wstring wide(const std::string& utf8) {
    std::u16string units = platform::utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

platform::FileMark markOf(const std::string& path) {
    platform::win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ,
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
        : path_(std::move(path)), unicode_(mark != platform::FileMark::None) {}

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        char buffer[VALUE_BUFFER] = {};
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                           VALUE_BUFFER, path_.c_str());
        return std::string(buffer, n);
    }

    int readInt(const std::string& section, const std::string& key, int fallback) override {
        return static_cast<int>(
            GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, path_.c_str()));
    }

    platform::TextEncoding encoding() const override {
        return unicode_ ? platform::TextEncoding::Utf8 : platform::TextEncoding::Ansi;
    }

    // A UTF-16 file through the wide function: every character comes through.
    std::string readText(const std::string& section, const std::string& key,
                         const std::string& fallback) override {
        if (!unicode_) return readString(section, key, fallback);
        wchar_t buffer[VALUE_BUFFER] = {};
        std::wstring path = wide(platform::asUtf8(path_, platform::TextEncoding::Ansi));
        DWORD n =
            GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(),
                                     wide(fallback).c_str(), buffer, VALUE_BUFFER, path.c_str());
        return platform::utf16ToUtf8(
            std::u16string_view(reinterpret_cast<const char16_t*>(buffer), n));
    }

private:
    std::string path_;
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
