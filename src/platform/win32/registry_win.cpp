#include <windows.h>

#include <vector>

#include "platform/registry.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/wide_text_win.h"

namespace platform {
namespace {

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    bool readDefaultValue(std::size_t bufferSize, std::string& out) override {
        if (bufferSize == 0) return false;
        // As many characters as the ANSI function had bytes; ERROR_MORE_DATA for a value that
        // does not fit.
        std::vector<wchar_t> buf(bufferSize);
        LONG size = static_cast<LONG>(bufferSize * sizeof(wchar_t));
        if (::RegQueryValueW(key_.get(), nullptr, buf.data(), &size) != ERROR_SUCCESS) return false;
        buf.back() = 0;
        out = win32::narrow(buf.data());
        return true;
    }

private:
    win32::RegKey key_;
};

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::string& path) override {
        HKEY base = root == RegistryRoot::ClassesRoot ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
        HKEY key = nullptr;
        if (::RegOpenKeyExW(base, win32::wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return nullptr;
        return std::make_unique<Win32RegistryKey>(key);
    }
};

}  // namespace

Registry& systemRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace platform
