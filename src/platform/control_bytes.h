#pragma once
// Text from a disc or a package written where a person reads it (a terminal, a log, a message
// box): control bytes are shown, never obeyed.
#include <string>

namespace platform {

// Appends text with bytes below 32 and 127 written as \xHH, so that it cannot carry escape
// sequences or line ends of its own.
void appendEscaped(std::string& out, const char* text, std::size_t length);
std::string escapeControlBytes(const std::string& text);

}  // namespace platform
