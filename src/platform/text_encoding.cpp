#include "platform/text_encoding.h"

namespace platform {

FileMark fileMark(std::string_view start) {
    if (start.substr(0, 3) == "\xEF\xBB\xBF") return FileMark::Utf8;
    if (start.substr(0, 2) == "\xFF\xFE") return FileMark::Utf16Le;
    if (start.substr(0, 2) == "\xFE\xFF") return FileMark::Utf16Be;
    return FileMark::None;
}

std::size_t markLength(FileMark mark) {
    switch (mark) {
        case FileMark::Utf8: return 3;
        case FileMark::Utf16Le:
        case FileMark::Utf16Be: return 2;
        case FileMark::None: break;
    }
    return 0;
}

DecodedText decodeFile(std::string_view bytes) {
    FileMark mark = fileMark(bytes);
    std::string_view body = bytes.substr(markLength(mark));
    switch (mark) {
        case FileMark::None: return {std::string(bytes), TextEncoding::Ansi};
        case FileMark::Utf8: return {validUtf8(body), TextEncoding::Utf8};
        case FileMark::Utf16Le:
        case FileMark::Utf16Be: break;
    }
    DecodedText out{{}, TextEncoding::Utf8};
    out.text.reserve(body.size());
    Utf16Decoder decoder(mark == FileMark::Utf16Be);
    decoder.feed(body, out.text);
    decoder.finish(out.text);
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = REPLACEMENT;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t nextCodePoint(std::string_view utf8, std::size_t& pos) {
    auto byte = [&](std::size_t i) {
        return i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0u;
    };
    unsigned c = byte(pos);
    if (c < 0x80) {
        ++pos;
        return c;
    }
    // The second byte's range depends on the first: that rules out overlong forms,
    // surrogates and values above U+10FFFF.
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    if (c >= 0xE0 && c <= 0xEF) length = 3;
    if (c >= 0xF0 && c <= 0xF4) length = 4;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
    if (length == 0 || byte(pos + 1) < low || byte(pos + 1) > high) {
        ++pos;
        return REPLACEMENT;
    }
    char32_t value = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        unsigned next = byte(pos + k);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return REPLACEMENT;
        }
        value = value << 6 | (next & 0x3F);
    }
    pos += length;
    return value;
}

std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) appendUtf8(out, nextCodePoint(text, pos));
    return out;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t pos = 0; pos < utf8.size();)
        units += nextCodePoint(utf8, pos) > 0xFFFF ? 2 : 1;
    return units;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    Utf16Decoder decoder(false);
    for (char16_t u : text) {
        char bytes[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        decoder.feed(std::string_view(bytes, 2), out);
    }
    decoder.finish(out);
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = nextCodePoint(text, pos);
        if (c > 0xFFFF) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 | c >> 10);
            out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

void Utf16Decoder::feed(std::string_view bytes, std::string& out) {
    for (char b : bytes) {
        auto v = static_cast<unsigned char>(b);
        if (!haveByte_) {
            byte_ = v;
            haveByte_ = true;
            continue;
        }
        haveByte_ = false;
        unit(static_cast<char16_t>(bigEndian_ ? (byte_ << 8 | v) : (v << 8 | byte_)), out);
    }
}

void Utf16Decoder::unit(char16_t u, std::string& out) {
    if (high_) {
        if (u >= 0xDC00 && u <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((high_ - 0xD800) << 10) + (u - 0xDC00));
            high_ = 0;
            return;
        }
        appendUtf8(out, REPLACEMENT);
        high_ = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
        high_ = u;
    } else {
        appendUtf8(out, u);  // a lone low surrogate comes out as REPLACEMENT
    }
}

void Utf16Decoder::finish(std::string& out) {
    if (high_) appendUtf8(out, REPLACEMENT);
    high_ = 0;
    haveByte_ = false;
}

}  // namespace platform
