// The portable reader follows what the Windows profile functions do with a file: the first
// section of a name wins, and within it the first key of a name.
#include "config/profile_reader.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/code_page.h"
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

// A Unicode file is parsed as UTF-8: every byte the rules look at is ASCII, and no byte of a
// longer character is one.
std::vector<Section> parseProfile(const std::string& text) {
    std::vector<Section> sections(1);  // keys before the first section line
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
    PortableProfile(std::vector<Section> sections, platform::TextEncoding encoding)
        : sections_(std::move(sections)), encoding_(encoding) {
        for (std::size_t i = 0; i < sections_.size(); ++i)
            index_.emplace(folded(sections_[i].name), i);
    }

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        const std::string* value = find(section, key);
        return copyEntry(value ? ansi(*value) : trimmed(fallback), VALUE_BUFFER);
    }

    int readInt(const std::string& section, const std::string& key, int fallback) override {
        const std::string* value = find(section, key);
        if (!value) return fallback;
        std::string text = copyEntry(ansi(*value), NUMBER_BUFFER);
        return text.empty() ? fallback : profileNumber(text);
    }

    platform::TextEncoding encoding() const override { return encoding_; }

    std::string readText(const std::string& section, const std::string& key,
                         const std::string& fallback) override {
        if (encoding_ == platform::TextEncoding::Ansi) return readString(section, key, fallback);
        const std::string* value = find(section, key);
        return cutToUnits(unquoted(value ? *value : trimmed(fallback)), VALUE_BUFFER - 1);
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

    // What the ANSI functions give of a value: a Unicode file's text in the code page.
    std::string ansi(const std::string& value) const {
        return encoding_ == platform::TextEncoding::Utf8 ? platform::windows1252Bytes(value)
                                                         : value;
    }

    // One pair of matching quotes goes.
    static std::string unquoted(const std::string& value) {
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            return value.substr(1, value.size() - 2);
        return value;
    }

    // The rest is cut to fit the buffer with its NUL.
    static std::string copyEntry(const std::string& value, std::size_t buffer) {
        std::string v = unquoted(value);
        if (v.size() > buffer - 1) v.resize(buffer - 1);
        return v;
    }

    // The first units UTF-16 units of a UTF-8 text; a pair cut in two leaves U+FFFD, as the
    // wide buffer then ends in half a character.
    static std::string cutToUnits(const std::string& utf8, std::size_t units) {
        std::string out;
        std::size_t used = 0;
        for (std::size_t pos = 0; pos < utf8.size() && used < units;) {
            char32_t c = platform::nextCodePoint(utf8, pos);
            std::size_t need = c > 0xFFFF ? 2 : 1;
            if (used + need > units) c = platform::REPLACEMENT;
            platform::appendUtf8(out, c);
            used += need;
        }
        return out;
    }

    std::vector<Section> sections_;
    platform::TextEncoding encoding_;
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
    platform::DecodedText text = platform::decodeFile(readWholeFile(fs, path));
    return std::make_unique<PortableProfile>(parseProfile(text.text), text.encoding);
}
