#include "rules/type_ahead.h"

#include "config/setup_config.h"
#include "menu/menu_file.h"
#include "rules/choice_list.h"

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

}  // namespace

const std::array<unsigned char, 256> searchFoldTable = makeFoldTable();

int findOptionByPrefix(const Menu& menu, const std::string& key, const SetupConfig* config) {
    if (key.empty() || menu.optionCount <= 0 || !menu.options) return -1;
    int lo = 0, hi = menu.optionCount;
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        int order = compareFolded(expandedLabel(menu, mid, config), key);
        if (order == 0) return mid;
        if (order > 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo < menu.optionCount ? lo : menu.optionCount - 1;
}

int typeAheadFind(TypeAheadState& state, const std::string& searchText, std::int64_t now,
                  const Menu& menu, const SetupConfig* config) {
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
