#include "platform/control_bytes.h"

#include <cstdio>

namespace platform {

void appendEscaped(std::string& out, const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 32 || c == 127) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += text[i];
        }
    }
}

std::string escapeControlBytes(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text.data(), text.size());
    return out;
}

}  // namespace platform
