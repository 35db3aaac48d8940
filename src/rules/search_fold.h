#pragma once
// The fold of type-ahead search for texts held in UTF-8 (Unicode discs): case does not count,
// a letter with a diacritic mark counts as its base letter, in Latin as in Greek and Cyrillic
// (É as e, Ά as α, Ё as е, Й as и), apostrophes and hyphens count as a space, and the ASCII
// characters fold as the ANSI table folds them. Characters of other scripts stay as they are.
#include <string>
#include <string_view>

// The folded character; 0 for a combining mark, which counts as nothing.
char32_t foldSearchCharacter(char32_t c);

// Every character of a UTF-8 text folded.
std::u32string foldSearchText(std::string_view utf8);
