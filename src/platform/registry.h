#pragma once
// Read access to the Windows registry. Only default (unnamed) values are read, as text.
#include <cstddef>
#include <memory>
#include <string>

namespace platform {

enum class RegistryRoot { ClassesRoot, LocalMachine };

class RegistryKey {
public:
    virtual ~RegistryKey() = default;  // closes the key
    // The key's default value as text, read into a buffer of bufferSize bytes (terminating
    // NUL included); false when the read fails or the value does not fit. A key without a
    // default value reads as an empty text, as the system answers.
    virtual bool readDefaultValue(std::size_t bufferSize, std::string& out) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key for reading; null when it cannot be opened. Never creates one.
    virtual std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::string& path) = 0;
};

// The registry of this machine (Windows builds only).
Registry& systemRegistry();

}  // namespace platform
