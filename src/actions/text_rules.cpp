#include "actions/text_rules.h"

namespace actions {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string toLowerAscii(std::string text) {
    for (char& c : text) c = lowerAscii(c);
    return text;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && startsWithNoCase(a, b);
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(prefix[i])) return false;
    return true;
}

std::string quoteIfBlank(const std::string& text) {
    return text.find(' ') == std::string::npos ? text : "\"" + text + "\"";
}

}  // namespace actions
