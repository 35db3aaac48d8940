#include "rules/page_access.h"

#include <algorithm>
#include <numeric>

namespace {

// The position of the mnemonic character after its "&", or npos.
std::size_t mnemonicAt(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return i + 1;
        ++i;
    }
    return std::string::npos;
}

}  // namespace

std::string withoutMnemonic(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::string mnemonicShortcut(const std::string& text) {
    const std::size_t at = mnemonicAt(text);
    if (at == std::string::npos) return {};
    // A character of several bytes is kept whole; an ASCII letter is given in capitals.
    std::size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    std::string key = text.substr(at, end - at);
    if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') key[0] = static_cast<char>(key[0] - 32);
    return "Alt+" + key;
}

std::string pageName(const std::string& caption, const std::string& title) {
    return caption.empty() ? title : caption;
}

std::string pageDescription(const std::string& topText, const std::string& bottomText,
                            const std::string& sideText) {
    std::string out;
    for (const std::string* part : {&topText, &bottomText, &sideText}) {
        if (part->empty()) continue;
        if (!out.empty()) out += "\r\n";
        out += *part;
    }
    return out;
}

std::string percentText(int low, int high, int position) {
    if (high <= low) return {};
    const long long done = std::clamp<long long>(position, low, high) - low;
    return std::to_string(done * 100 / (static_cast<long long>(high) - low)) + "%";
}

std::vector<int> readingOrder(const std::vector<WizRect>& places) {
    std::vector<int> order(places.size());
    std::iota(order.begin(), order.end(), 0);
    // By top first; then each row is the run of controls whose tops lie above the bottom of
    // the row's first one, put left to right.
    std::stable_sort(order.begin(), order.end(), [&](int i, int j) {
        const WizRect &a = places[i], &b = places[j];
        if (a.empty() || b.empty()) return !a.empty() && b.empty();
        return a.top < b.top;
    });
    for (std::size_t row = 0; row < order.size() && !places[order[row]].empty();) {
        const int bottom = places[order[row]].bottom;
        std::size_t end = row + 1;
        while (end < order.size() && !places[order[end]].empty() && places[order[end]].top < bottom)
            ++end;
        std::stable_sort(order.begin() + row, order.begin() + end,
                         [&](int i, int j) { return places[i].left < places[j].left; });
        row = end;
    }
    return order;
}

std::vector<bool> keptInOrder(const std::vector<int>& order) {
    // A longest increasing subsequence of the controls' present places, by patience sorting:
    // tails[k] is the entry ending the best run of length k + 1 found so far.
    const std::size_t n = order.size();
    std::vector<int> tails, before(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        auto at = std::lower_bound(tails.begin(), tails.end(), static_cast<int>(i),
                                   [&](int entry, int) { return order[entry] < order[i]; });
        if (at != tails.begin()) before[i] = *(at - 1);
        if (at == tails.end())
            tails.push_back(static_cast<int>(i));
        else
            *at = static_cast<int>(i);
    }
    std::vector<bool> kept(n, false);
    for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = before[i]) kept[i] = true;
    return kept;
}
