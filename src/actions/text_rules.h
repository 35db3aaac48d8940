#pragma once
// Byte-text comparisons of the actions: ASCII letters fold, other bytes compare as they are.
#include <string>

namespace actions {

char lowerAscii(char c);
std::string toLowerAscii(std::string text);
bool equalsNoCase(const std::string& a, const std::string& b);
bool startsWithNoCase(const std::string& text, const std::string& prefix);
// The text enclosed in double quotes when it holds a blank, else unchanged.
std::string quoteIfBlank(const std::string& text);

}  // namespace actions
