// The Windows profile functions themselves; they open the file at every call.
#include <windows.h>

#include "config/profile_reader.h"

namespace {

constexpr DWORD VALUE_BUFFER = 256;

class Win32Profile : public ProfileReader {
public:
    explicit Win32Profile(std::string path) : path_(std::move(path)) {}

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

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<ProfileReader> openWin32Profile(const std::string& path) {
    return std::make_unique<Win32Profile>(path);
}

std::unique_ptr<ProfileReader> openSystemProfile(platform::FileSystem&, const std::string& path) {
    return openWin32Profile(path);
}
