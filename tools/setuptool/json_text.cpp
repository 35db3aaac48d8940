#include "json_text.h"

#include <cstdio>

#include "platform/code_page.h"

Json jsonText(const std::string& text, platform::TextEncoding encoding) {
    // Valid UTF-8 either way: the JSON library refuses anything else.
    return platform::validUtf8(platform::asUtf8(text, encoding));
}

Json jsonText(const char* text, platform::TextEncoding encoding) {
    if (!text) return nullptr;
    return jsonText(std::string(text), encoding);
}

Json byteText(const std::string& text) {
    return jsonText(text, platform::TextEncoding::Ansi);
}

Json byteText(const char* text) {
    return jsonText(text, platform::TextEncoding::Ansi);
}

void printJson(const Json& value) {
    std::string out = value.dump(-1, ' ', true);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
}
