#include "json_text.h"

#include <cstdio>

Json byteText(const std::string& text) {
    // Each byte becomes the code point of its value; ASCII-only output then escapes the high
    // ones as \u00XX.
    std::string utf8;
    utf8.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

Json byteText(const char* text) {
    if (!text) return nullptr;
    return byteText(std::string(text));
}

void printJson(const Json& value) {
    std::string out = value.dump(-1, ' ', true);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
}
