// The portable reader follows what the Windows profile functions do with a file: the first
// section of a name wins, and within it the first key of a name.
#include "config/profile_reader.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"

namespace {

constexpr std::size_t VALUE_BUFFER = 256;  // GetPrivateProfileString's buffer
constexpr std::size_t NUMBER_BUFFER = 30;  // GetPrivateProfileInt reads into this many
// A settings file of thousands of texts holds a few megabytes; a larger one is not a
// settings file and reads as a missing one.
constexpr std::size_t FILE_LIMIT = 16 * 1024 * 1024;

bool isBlank(unsigned char c) {
    // Ctrl-Z too, as at the end of old DOS files.
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A;
}

char foldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string folded(std::string s) {
    for (char& c : s) c = foldCase(c);
    return s;
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && isBlank(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

struct Entry {
    std::string name;
    std::optional<std::string> value;  // none for a line without '='
};
struct Section {
    std::string name;
    std::vector<Entry> entries;
    std::unordered_map<std::string, std::size_t> index;  // folded name: its first entry
};

// The Windows-1252 byte of a UTF-16 unit, as the system's conversion to that code page gives
// it: '?' for what the code page lacks (a surrogate pair counts once).
char codePageByte(std::uint32_t u) {
    static const std::uint16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (high[i] == u) return static_cast<char>(0x80 + i);
    return '?';
}

// A file that begins with a byte-order mark (UTF-16 either way, UTF-8) is read as the Windows
// profile functions read it: as text of that encoding, handed to the caller in the code page.
std::string fromUtf16(const std::string& bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        auto u = static_cast<std::uint32_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
        if (u >= 0xDC00 && u <= 0xDFFF) continue;  // the second half of a pair
        out += codePageByte(u);
    }
    return out;
}

// The same for UTF-8 after its mark; a byte that starts no valid sequence is one '?'.
std::string fromUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 3; i < bytes.size();) {
        auto c = static_cast<unsigned char>(bytes[i]);
        std::size_t length = c < 0x80                ? 1
                             : c >= 0xC2 && c < 0xE0 ? 2
                             : c >= 0xE0 && c < 0xF0 ? 3
                             : c >= 0xF0 && c < 0xF5 ? 4
                                                     : 0;
        std::uint32_t u = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            auto next = i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
            if ((next & 0xC0) != 0x80) length = 0;
            u = u << 6 | (next & 0x3F);
        }
        if (length == 0) {
            out += '?';
            ++i;
        } else {
            out += codePageByte(u);
            i += length;
        }
    }
    return out;
}

std::vector<Section> parseProfile(const std::string& bytes) {
    std::vector<Section> sections(1);  // keys before the first section line
    std::string text = bytes.compare(0, 2, "\xFF\xFE") == 0       ? fromUtf16(bytes, false)
                       : bytes.compare(0, 2, "\xFE\xFF") == 0     ? fromUtf16(bytes, true)
                       : bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? fromUtf8(bytes)
                                                                  : bytes;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line = trimmed(text.substr(pos, end - pos));
        pos = text.find_first_not_of("\r\n", end);
        if (pos == std::string::npos) pos = text.size();
        if (line.empty()) continue;
        if (line[0] == '[') {
            std::size_t close = line.rfind(']');
            if (close != std::string::npos && close > 0) {
                sections.push_back({trimmed(line.substr(1, close - 1)), {}});
                continue;
            }
        }
        std::size_t eq = line.find('=');
        Section& section = sections.back();
        if (eq == std::string::npos) {
            section.entries.push_back({line, std::nullopt});
        } else {
            section.entries.push_back({trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1))});
        }
        section.index.emplace(folded(section.entries.back().name), section.entries.size() - 1);
    }
    return sections;
}

// Base 0 as the system's string-to-integer conversion: "0x", "0o" and "0b" prefixes, a sign,
// digits up to the first that does not fit, wrapping at 32 bits.
int profileNumber(const std::string& text) {
    std::string s = text.substr(0, NUMBER_BUFFER - 1);
    std::size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    bool minus = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) minus = s[i++] == '-';
    unsigned base = 10;
    if (i + 1 < s.size() && s[i] == '0') {
        if (s[i + 1] == 'x') base = 16;
        if (s[i + 1] == 'o') base = 8;
        if (s[i + 1] == 'b') base = 2;
        if (base != 10) i += 2;
    }
    std::uint32_t total = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        unsigned digit = 99;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
        if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
        if (digit >= base) break;
        total = total * base + digit;
    }
    if (minus) total = 0u - total;
    return static_cast<int>(total);
}

class PortableProfile : public ProfileReader {
public:
    // Every look-up goes through an index made once: a file of thousands of texts would
    // otherwise be scanned once per text.
    explicit PortableProfile(std::vector<Section> sections) : sections_(std::move(sections)) {
        for (std::size_t i = 0; i < sections_.size(); ++i)
            index_.emplace(folded(sections_[i].name), i);
    }

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        const std::string* value = find(section, key);
        return copyEntry(value ? *value : trimmed(fallback), VALUE_BUFFER);
    }

    int readInt(const std::string& section, const std::string& key, int fallback) override {
        const std::string* value = find(section, key);
        if (!value) return fallback;
        std::string text = copyEntry(*value, NUMBER_BUFFER);
        return text.empty() ? fallback : profileNumber(text);
    }

private:
    // Only the first section of a name is searched, and in it the first key of a name.
    const std::string* find(const std::string& section, const std::string& key) const {
        auto sec = index_.find(folded(trimmed(section)));
        if (sec == index_.end()) return nullptr;
        const Section& s = sections_[sec->second];
        auto entry = s.index.find(folded(trimmed(key)));
        if (entry == s.index.end()) return nullptr;
        const Entry& e = s.entries[entry->second];
        return e.value ? &*e.value : nullptr;
    }

    // One pair of matching quotes goes; the rest is cut to fit the buffer with its NUL.
    static std::string copyEntry(const std::string& value, std::size_t buffer) {
        std::string v = value;
        if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
            v = v.substr(1, v.size() - 2);
        if (v.size() > buffer - 1) v.resize(buffer - 1);
        return v;
    }

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> index_;  // folded name: its first section
};

std::string readWholeFile(platform::FileSystem& fs, const std::string& path) {
    std::string text;
    platform::FilePtr f = fs.openRegularFile(path);
    if (!f) return text;
    char buf[16384];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        if (n > FILE_LIMIT - text.size()) return std::string();
        text.append(buf, n);
    }
    return text;
}

}  // namespace

std::unique_ptr<ProfileReader> openPortableProfile(platform::FileSystem& fs,
                                                   const std::string& path) {
    return std::make_unique<PortableProfile>(parseProfile(readWholeFile(fs, path)));
}
