#include "archive/name_clash.h"

#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace {

// Lower case of the Western code page (Windows-1252), as Windows' case-blind compare sees it.
unsigned char foldByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    switch (c) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: break;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

std::vector<std::string> splitParts(const std::string& folded) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = folded.find('\\', start);
        parts.push_back(folded.substr(start, sep - start));
        if (sep == std::string::npos) return parts;
        start = sep + 1;
    }
}

// What an 8.3 name may not hold; Windows drops blanks from an alias, Wine makes them '_'.
bool notShortChar(char c) {
    return std::strchr(" +,;=[]", c) != nullptr;
}

// A part Windows keeps as its own short name: 1 to 8 characters, at most one dot, then up to 3.
bool isShortForm(const std::string& part) {
    std::size_t dot = part.find('.');
    std::size_t base = dot == std::string::npos ? part.size() : dot;
    if (base == 0 || base > 8) return false;
    if (dot != std::string::npos &&
        (part.find('.', dot + 1) != std::string::npos || part.size() - dot - 1 > 3))
        return false;
    for (char c : part)
        if (notShortChar(c)) return false;
    return true;
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool isHex(const std::string& s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// The characters of an alias made from text: Windows drops blanks and dots and writes other
// misfits as '_'; Wine writes every misfit as '_'.
std::string windowsChars(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '.') out += notShortChar(c) ? '_' : c;
    return out;
}

std::string wineChars(const std::string& text) {
    std::string out;
    for (char c : text) out += notShortChar(c) || c == '.' || c == '~' ? '_' : c;
    return out;
}

}  // namespace

std::string foldedEntryName(const std::string& name) {
    std::string out, part;
    auto flush = [&] {
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        out += part;
        part.clear();
    };
    for (char c : name) {
        if (c == '\\' || c == '/') {
            flush();
            out += '\\';
        } else {
            part += static_cast<char>(foldByte(static_cast<unsigned char>(c)));
        }
    }
    flush();
    return out;
}

bool mayBeShortAlias(const std::string& part, const std::string& longPart) {
    if (!isShortForm(part) || isShortForm(longPart)) return false;
    std::size_t dot = part.find('.');
    std::string base = part.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : part.substr(dot + 1);
    std::size_t tilde = base.find('~');
    if (tilde == std::string::npos || tilde == 0 || tilde + 1 == base.size()) return false;
    std::string prefix = base.substr(0, tilde);

    // The long name's extension starts after its last dot, a leading dot not counted.
    std::size_t lastDot = longPart.rfind('.');
    if (lastDot == 0) lastDot = std::string::npos;
    std::string longBase = longPart.substr(0, lastDot);
    std::string longExt = lastDot == std::string::npos ? "" : longPart.substr(lastDot + 1);
    if (ext != windowsChars(longExt).substr(0, 3) && ext != wineChars(longExt).substr(0, 3))
        return false;
    // Windows: up to six characters and "~n"; from the fifth alike name on, two characters,
    // four hex digits and "~n". Wine: up to four characters, '~' and three of a hash.
    std::string windowsBase = windowsChars(longBase);
    return startsWith(windowsBase, prefix) ||
           startsWith(wineChars(longBase).substr(0, 4), prefix) ||
           (prefix.size() == 6 && startsWith(windowsBase, prefix.substr(0, 2)) &&
            isHex(prefix.substr(2)));
}

bool findNameClash(const std::vector<std::string>& names, std::size_t& first, std::size_t& second) {
    std::vector<std::vector<std::string>> parts;
    bool tilde = false;
    for (const std::string& n : names) {
        std::string folded = foldedEntryName(n);
        tilde = tilde || folded.find('~') != std::string::npos;
        parts.push_back(splitParts(folded));
    }
    // A part that may alias a long name beside it is read as that name, folder by folder from
    // the top, so that the folders it merges are compared below too.
    if (tilde) {
        std::vector<std::string> parent(names.size());
        for (std::size_t level = 0;; ++level) {
            std::unordered_map<std::string, std::vector<std::size_t>> folders;
            for (std::size_t i = 0; i < parts.size(); ++i)
                if (level < parts[i].size()) folders[parent[i]].push_back(i);
            if (folders.empty()) break;
            for (const auto& [key, members] : folders) {
                std::vector<std::string> longParts;
                std::unordered_set<std::string> seen;
                for (std::size_t i : members) {
                    const std::string& p = parts[i][level];
                    if (!isShortForm(p) && seen.insert(p).second) longParts.push_back(p);
                }
                std::unordered_map<std::string, std::string> readAs;
                for (std::size_t i : members) {
                    const std::string& p = parts[i][level];
                    if (p.find('~') == std::string::npos || readAs.count(p)) continue;
                    readAs[p] = p;
                    for (const std::string& l : longParts)
                        if (mayBeShortAlias(p, l)) {
                            readAs[p] = l;
                            break;
                        }
                }
                for (std::size_t i : members) {
                    std::string& p = parts[i][level];
                    if (auto r = readAs.find(p); r != readAs.end()) p = r->second;
                    parent[i] += p + '\\';
                }
            }
        }
    }
    // Two files of one name, or a file where another name needs a folder: a clash. Two names in
    // one folder share it.
    std::unordered_map<std::string, std::size_t> files, folders;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string key;
        std::vector<std::size_t> cuts;
        for (std::size_t k = 0; k < parts[i].size(); ++k) {
            if (k) {
                cuts.push_back(key.size());
                key += '\\';
            }
            key += parts[i][k];
        }
        auto clash = [&](std::size_t earlier) {
            first = earlier;
            second = i;
            return true;
        };
        if (auto f = files.find(key); f != files.end()) return clash(f->second);
        if (auto d = folders.find(key); d != folders.end()) return clash(d->second);
        files.emplace(key, i);
        // From the deepest folder up: one already known has its parents known too.
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut) {
            std::string folder = key.substr(0, *cut);
            if (auto f = files.find(folder); f != files.end()) return clash(f->second);
            if (!folders.emplace(folder, i).second) break;
        }
    }
    return false;
}
