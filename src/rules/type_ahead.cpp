#include "rules/type_ahead.h"

#include "config/setup_config.h"
#include "menu/menu_file.h"
#include "platform/code_page.h"
#include "rules/choice_list.h"
#include "rules/search_fold.h"

namespace {

constexpr std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 0x80; ++i) t[i] = static_cast<unsigned char>(i);
    for (int i = 0x80; i < 0x100; ++i) t[i] = '@';
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c - 'A' + 'a');
    t[0x27] = ' ';
    t[0x2D] = ' ';
    t[0x2C] = 0x1F;
    t[0x82] = ',';
    auto range = [&t](int from, int to, char to_) {
        for (int i = from; i <= to; ++i) {
            t[i] = static_cast<unsigned char>(to_);
            t[i + 0x20] = static_cast<unsigned char>(to_);
        }
    };
    range(0xC0, 0xC5, 'a');
    range(0xC6, 0xC6, 'e');
    range(0xC7, 0xC7, 'c');
    range(0xC8, 0xCB, 'e');
    range(0xCC, 0xCF, 'i');
    range(0xD1, 0xD1, 'n');
    range(0xD2, 0xD6, 'o');
    range(0xD8, 0xD8, 'o');
    range(0xD9, 0xDC, 'u');
    t[0xDF] = 's';
    t[0xFF] = 'y';
    return t;
}

unsigned char lowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// <0, 0, >0 as the folded label sorts before, equal to or after key.
int compareFolded(const std::string& label, const std::string& key) {
    std::size_t i = 0;
    for (;; ++i) {
        unsigned char a = i < label.size()
                              ? lowerAscii(searchFoldTable[static_cast<unsigned char>(label[i])])
                              : 0;
        unsigned char b = i < key.size() ? lowerAscii(static_cast<unsigned char>(key[i])) : 0;
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) return 0;
    }
}

// The same for a menu of a Unicode disc: labels and key compared folded, in UTF-8.
int compareUnicode(const std::u32string& label, const std::u32string& key) {
    return label < key ? -1 : label == key ? 0 : 1;
}

std::u32string unicodeLabel(const Menu& menu, int i, const SetupConfig* config) {
    const char* label = menu.options[i].label;
    if (!label) return {};
    return foldSearchText(config ? config->resolveUtf8(label, menu.textEncoding)
                                 : platform::asUtf8(label, menu.textEncoding));
}

// An ANSI disc's label as its bytes, also where its texts are held converted to UTF-8.
std::string ansiLabel(const Menu& menu, int i, const SetupConfig* config) {
    std::string label = expandedLabel(menu, i, config);
    if (menu.textEncoding == platform::TextEncoding::Ansi) return label;
    return platform::ansiCodePage().fromUtf8(label).value_or(label);
}

template <typename Compare>
int binarySearch(const Menu& menu, Compare compare) {
    int lo = 0, hi = menu.optionCount;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        int order = compare(mid);
        if (order == 0) return mid;
        if (order > 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo < menu.optionCount ? lo : menu.optionCount - 1;
}

bool isUnicodeSpace(char32_t c) {
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200B) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

std::size_t characterCount(const std::string& utf8) {
    std::size_t n = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++n) platform::nextCodePoint(utf8, pos);
    return n;
}

int typeAheadFindUnicode(TypeAheadState& state, const std::string& searchText, std::int64_t now,
                         const Menu& menu, const SetupConfig* config) {
    // The last character typed; what resets the search is as for ANSI discs, but letters of
    // every script are keys.
    char32_t c = 0;
    for (std::size_t pos = 0; pos < searchText.size();)
        c = platform::nextCodePoint(searchText, pos);
    bool paused = now - state.lastKeyTime > TYPE_AHEAD_PAUSE_SECONDS;
    if (c < '!' || (c >= 0x7F && c < 0xA0) || isUnicodeSpace(c) || c == '+' || c == '?' ||
        (c == '-' && (state.typeAheadBuffer.empty() || paused))) {
        state.typeAheadBuffer.clear();
        return 0;
    }
    if (paused) state.typeAheadBuffer.clear();
    if (characterCount(state.typeAheadBuffer) >= TYPE_AHEAD_LIMIT) return 0;
    int row = 0;
    if (c != '-') {
        platform::appendUtf8(state.typeAheadBuffer, c);
        row = findOptionByPrefix(menu, state.typeAheadBuffer, config);
    }
    state.lastKeyTime = now;
    return row;
}

}  // namespace

const std::array<unsigned char, 256> searchFoldTable = makeFoldTable();

platform::TextEncoding typeAheadEncoding(const Menu& menu, const SetupConfig* config) {
    bool unicode = (menu.textEncoding == platform::TextEncoding::Utf8 && !menu.convertedFromAnsi) ||
                   (config && config->textEncoding == platform::TextEncoding::Utf8 &&
                    !config->convertedFromAnsi);
    return unicode ? platform::TextEncoding::Utf8 : platform::TextEncoding::Ansi;
}

int findOptionByPrefix(const Menu& menu, const std::string& key, const SetupConfig* config) {
    if (key.empty() || menu.optionCount <= 0 || !menu.options) return -1;
    if (typeAheadEncoding(menu, config) == platform::TextEncoding::Utf8) {
        const std::u32string folded = foldSearchText(key);
        return binarySearch(
            menu, [&](int i) { return compareUnicode(unicodeLabel(menu, i, config), folded); });
    }
    return binarySearch(menu,
                        [&](int i) { return compareFolded(ansiLabel(menu, i, config), key); });
}

int typeAheadFind(TypeAheadState& state, const std::string& searchText, std::int64_t now,
                  const Menu& menu, const SetupConfig* config) {
    if (typeAheadEncoding(menu, config) == platform::TextEncoding::Utf8)
        return typeAheadFindUnicode(state, searchText, now, menu, config);
    signed char c = searchText.empty() ? 0 : static_cast<signed char>(searchText.back());
    std::int64_t gap = now - state.lastKeyTime;
    bool paused = gap > TYPE_AHEAD_PAUSE_SECONDS;
    // Spaces, control characters, bytes from 0x80 up, "+" and "?" start over at the top; so
    // does a "-" that begins a search.
    if (c < '!' || c == '+' || c == '?' ||
        (c == '-' && (state.typeAheadBuffer.empty() || paused))) {
        state.typeAheadBuffer.clear();
        return 0;
    }
    if (paused) state.typeAheadBuffer.clear();
    if (state.typeAheadBuffer.size() >= TYPE_AHEAD_LIMIT) return 0;
    int row = 0;
    if (c != '-') {
        state.typeAheadBuffer.push_back(static_cast<char>(c));
        row = findOptionByPrefix(menu, state.typeAheadBuffer, config);
    }
    state.lastKeyTime = now;
    return row;
}
