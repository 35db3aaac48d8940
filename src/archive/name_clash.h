#pragma once
// Names that Windows takes for one file. A package holding two of them would lose the first
// one's content without a word: the unpacker refuses such a package before it writes anything,
// and setuptool pack refuses to make one, by this one rule.
#include <cstddef>
#include <string>
#include <vector>

// A name as Windows compares names: '/' read as '\', each part without its trailing dots and
// blanks, the letters of the Western code page (accented ones too) in one case.
std::string foldedEntryName(const std::string& name);

// True when part may be the 8.3 alias that Windows or Wine gives to longPart, a long name in
// the same folder (both parts folded): a short name with a '~' whose start and extension come
// from the long name. Generous: which number or hash a name gets depends on its neighbours.
bool mayBeShortAlias(const std::string& part, const std::string& longPart);

// The first two names (first < second, indices into names) that unpacking on Windows would make
// one file, or a file and a folder of one name: equal when folded, or equal once a part is read
// as the alias of a long name beside it. False when there are none.
bool findNameClash(const std::vector<std::string>& names, std::size_t& first, std::size_t& second);

// The failure of the unpacker and the lister for such a package; "%s" stands for the two
// names, joined by clashArgument.
inline constexpr const char* NAME_CLASH_FORMAT = "Clashing file names in archive: %s\n";
inline std::string clashArgument(const std::string& first, const std::string& second) {
    return first + " and " + second;
}
