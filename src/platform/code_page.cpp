#include "platform/code_page.h"

#include <cstdint>

namespace platform {

// Defined by the system layer: the code page of that number, or null.
std::unique_ptr<CodePage> openSystemCodePage(int number);
// The system's own ANSI code page; null where there is none (POSIX).
std::unique_ptr<CodePage> openProcessCodePage();

namespace {

// Characters of bytes 0x80..0x9F; the others below 0x100 are their own value.
constexpr std::uint16_t HIGH_1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The byte of a character, -1 when Windows-1252 has none.
int byteOf1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (HIGH_1252[i] == c) return 0x80 + i;
    return -1;
}

class Windows1252 : public CodePage {
public:
    int number() const override { return 1252; }
    std::string toUtf8(std::string_view ansi) const override {
        std::string out;
        out.reserve(ansi.size());
        for (char b : ansi) {
            auto v = static_cast<unsigned char>(b);
            appendUtf8(out, v >= 0x80 && v < 0xA0 ? char32_t{HIGH_1252[v - 0x80]} : char32_t{v});
        }
        return out;
    }
    std::optional<std::string> fromUtf8(std::string_view utf8) const override {
        std::string out;
        out.reserve(utf8.size());
        for (std::size_t pos = 0; pos < utf8.size();) {
            int byte = byteOf1252(nextCodePoint(utf8, pos));
            if (byte < 0) return std::nullopt;
            out += static_cast<char>(byte);
        }
        return out;
    }
};

// Windows can be set to take UTF-8 as its ANSI code page.
class Utf8CodePage : public CodePage {
public:
    int number() const override { return 65001; }
    std::string toUtf8(std::string_view ansi) const override { return validUtf8(ansi); }
    std::optional<std::string> fromUtf8(std::string_view utf8) const override {
        return std::string(utf8);
    }
};

std::unique_ptr<CodePage>& chosenCodePage() {
    static std::unique_ptr<CodePage> chosen;
    return chosen;
}

const CodePage& processDefault() {
    static const std::unique_ptr<CodePage> own = openProcessCodePage();
    return own ? *own : windows1252();
}

}  // namespace

const CodePage& windows1252() {
    static const Windows1252 table;
    return table;
}

std::string windows1252Bytes(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        int byte = byteOf1252(nextCodePoint(utf8, pos));
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

std::unique_ptr<CodePage> openCodePage(int number) {
    if (number == 1252) return std::make_unique<Windows1252>();
    if (number == 65001) return std::make_unique<Utf8CodePage>();
    return openSystemCodePage(number);
}

const CodePage& ansiCodePage() {
    const std::unique_ptr<CodePage>& chosen = chosenCodePage();
    return chosen ? *chosen : processDefault();
}

void setAnsiCodePage(std::unique_ptr<CodePage> codePage) {
    chosenCodePage() = std::move(codePage);
}

std::string asUtf8(std::string_view text, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? std::string(text) : ansiCodePage().toUtf8(text);
}

}  // namespace platform
