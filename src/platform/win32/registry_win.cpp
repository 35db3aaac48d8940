#include <windows.h>

#include <vector>

#include "platform/registry.h"
#include "platform/win32/handle_win.h"

namespace platform {
namespace {

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    bool readDefaultValue(std::size_t bufferSize, std::string& out) override {
        if (bufferSize == 0) return false;
        std::vector<char> buf(bufferSize);
        LONG size = static_cast<LONG>(bufferSize);
        // RegQueryValueA answers ERROR_MORE_DATA for a value that does not fit.
        if (::RegQueryValueA(key_.get(), nullptr, buf.data(), &size) != ERROR_SUCCESS) return false;
        buf.back() = 0;
        out = buf.data();
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
        if (::RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
        return std::make_unique<Win32RegistryKey>(key);
    }
};

}  // namespace

Registry& systemRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace platform
