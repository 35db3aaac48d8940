#include "disc/image_names.h"

#include <unordered_map>

namespace disc {

namespace {

// The next code point of s from i on, moving i past it; -1 for a byte that does not start a
// well-formed UTF-8 sequence (overlong forms and surrogates included).
long nextCodePoint(const std::string& s, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = byte(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length == 0 || c > 0xF4 || i + length > s.size()) return -1;
    long cp = c & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    static const long least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < least[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    i += length;
    return cp;
}

void appendUtf8(std::string& out, long cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Upper case as Windows' file systems compare names, for the scripts a disc is likely to use:
// Latin (with its first extension), Greek and Cyrillic.
long upperCase(long cp) {
    if ((cp >= 'a' && cp <= 'z') || (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)) return cp - 0x20;
    if (cp == 0xFF) return 0x178;
    if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) return cp & ~1L;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return cp % 2 ? cp : cp - 1;
    if (cp >= 0x3B1 && cp <= 0x3C9 && cp != 0x3C2) return cp - 0x20;
    if (cp >= 0x430 && cp <= 0x44F) return cp - 0x20;
    if (cp >= 0x450 && cp <= 0x45F) return cp - 0x50;
    return cp;
}

std::string foldPart(const std::string& part) {
    std::size_t end = part.find_last_not_of(". ");
    std::string out;
    for (std::size_t i = 0; end != std::string::npos && i <= end;) {
        long cp = nextCodePoint(part, i);
        if (cp < 0) {  // kept as it is: such a name is refused anyway
            out += part[i++];
            continue;
        }
        appendUtf8(out, upperCase(cp));
    }
    return out;
}

}  // namespace

std::string nameRefusal(const std::string& name) {
    if (name.empty()) return "an empty name";
    std::size_t units = 0;
    for (std::size_t i = 0; i < name.size();) {
        long cp = nextCodePoint(name, i);
        if (cp < 0) return "not a UTF-8 name: the Joliet names are written from UTF-8";
        if (cp < 0x20 || (cp < 0x80 && std::string("*/:;?\\").find(char(cp)) != std::string::npos))
            return "a Joliet name may not hold * / : ; ? \\ or control characters";
        units += cp >= 0x10000 ? 2 : 1;
    }
    if (units > JOLIET_NAME_LIMIT)
        return "longer than " + std::to_string(JOLIET_NAME_LIMIT) +
               " UTF-16 characters, the most a Joliet name holds";
    if (name.back() == '.' || name.back() == ' ')
        return "ends in a dot or a blank, which Windows drops from a name";
    return {};
}

std::string windowsFold(const std::string& name) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = name.find_first_of("/\\", start);
        out += foldPart(name.substr(start, sep - start));
        if (sep == std::string::npos) return out;
        out += '/';
        start = sep + 1;
    }
}

bool findFoldedPair(const std::vector<std::string>& names, std::size_t& first,
                    std::size_t& second) {
    std::unordered_map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto [it, added] = seen.emplace(foldPart(names[i]), i);
        if (!added) {
            first = it->second;
            second = i;
            return true;
        }
    }
    return false;
}

}  // namespace disc
