// The portable reader follows what the Windows profile functions do with a file: the first
// section of a name wins, and within it the first key of a name.
#include "config/profile_reader.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file_system.h"

namespace {

constexpr std::size_t VALUE_BUFFER = 256;  // GetPrivateProfileString's buffer
constexpr std::size_t NUMBER_BUFFER = 30;  // GetPrivateProfileInt reads into this many

bool isBlank(unsigned char c) {
    // Ctrl-Z too, as at the end of old DOS files.
    return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1A;
}

char foldCase(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
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
};

std::vector<Section> parseProfile(const std::string& text) {
    std::vector<Section> sections(1);  // keys before the first section line
    std::size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
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
        if (eq == std::string::npos) {
            sections.back().entries.push_back({line, std::nullopt});
        } else {
            sections.back().entries.push_back(
                {trimmed(line.substr(0, eq)), trimmed(line.substr(eq + 1))});
        }
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
    explicit PortableProfile(std::vector<Section> sections) : sections_(std::move(sections)) {}

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
    const std::string* find(const std::string& section, const std::string& key) const {
        std::string s = trimmed(section), k = trimmed(key);
        for (const Section& sec : sections_) {
            if (!sameName(sec.name, s)) continue;
            for (const Entry& e : sec.entries)
                if (sameName(e.name, k)) return e.value ? &*e.value : nullptr;
            return nullptr;  // only the first section of a name is searched
        }
        return nullptr;
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
};

std::string readWholeFile(platform::FileSystem& fs, const std::string& path) {
    std::string text;
    platform::FilePtr f = fs.openFile(path, "rb");
    if (!f) return text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) text.append(buf, n);
    return text;
}

}  // namespace

std::unique_ptr<ProfileReader> openPortableProfile(platform::FileSystem& fs,
                                                   const std::string& path) {
    return std::make_unique<PortableProfile>(parseProfile(readWholeFile(fs, path)));
}
