#include "platform/written_text.h"

namespace platform {

WrittenText& WrittenText::append(std::string_view text, TextEncoding encoding) {
    if (!pieces_.empty() && pieces_.back().second == encoding) {
        pieces_.back().first.append(text);
    } else {
        pieces_.emplace_back(std::string(text), encoding);
    }
    return *this;
}

std::optional<std::string> WrittenText::ansiBytes(const CodePage& codePage) const {
    std::string out;
    for (const auto& [text, encoding] : pieces_) {
        if (encoding == TextEncoding::Ansi) {
            out += text;
            continue;
        }
        std::optional<std::string> bytes = codePage.fromUtf8(text);
        if (!bytes) return std::nullopt;
        out += *bytes;
    }
    return out;
}

std::string WrittenText::utf8(const CodePage& codePage) const {
    std::string out;
    for (const auto& [text, encoding] : pieces_)
        out += encoding == TextEncoding::Utf8 ? validUtf8(text) : codePage.toUtf8(text);
    return out;
}

std::string WrittenText::fileBytes(const CodePage& codePage) const {
    if (std::optional<std::string> ansi = ansiBytes(codePage)) return *ansi;
    return std::string(UTF8_MARK) + utf8(codePage);
}

FileUpdate appendedBytes(std::string_view existing, const WrittenText& text,
                         const CodePage& codePage) {
    if (existing.empty()) return {text.fileBytes(codePage), false};
    if (existing.substr(0, UTF8_MARK.size()) == UTF8_MARK) return {text.utf8(codePage), false};
    if (std::optional<std::string> ansi = text.ansiBytes(codePage)) return {*ansi, false};
    return {std::string(UTF8_MARK) + codePage.toUtf8(existing) + text.utf8(codePage), true};
}

}  // namespace platform
