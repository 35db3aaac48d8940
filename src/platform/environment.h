#pragma once
// Environment references such as "%TMP%".
#include <cstddef>
#include <string>

namespace platform {

class Environment {
public:
    virtual ~Environment() = default;
    // Expands the references of text into a buffer of bufferSize bytes; false when the
    // expansion fails or does not fit. A reference to an unset variable stays as written.
    virtual bool expand(const std::string& text, std::size_t bufferSize, std::string& out) = 0;
};

// The environment of this process (Windows builds only).
Environment& systemEnvironment();

}  // namespace platform
