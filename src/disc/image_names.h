#pragma once
// The names a CD image may hold: the Joliet tree is what Windows reads, so every name of the
// disc folder must fit it as it is (nothing renamed, nothing cut), and no two names of one
// folder may be one name for Windows. Names are UTF-8, as Linux and Wine keep them.
#include <cstddef>
#include <string>
#include <vector>

namespace disc {

// The longest name, in UTF-16 characters, that a Joliet directory record holds.
inline constexpr std::size_t JOLIET_NAME_LIMIT = 64;

// Why one part of a path cannot stand in the image; empty when it can.
std::string nameRefusal(const std::string& name);

// A name, or a path with '/' or '\' between its parts, as Windows compares it: each part
// without its trailing dots and blanks, the letters in one case.
std::string windowsFold(const std::string& name);

// The first two names of one folder (first < second) that Windows takes for one; false when
// there are none.
bool findFoldedPair(const std::vector<std::string>& names, std::size_t& first, std::size_t& second);

}  // namespace disc
