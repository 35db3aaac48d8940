#pragma once
// JSON output of setuptool. Every text is written as the characters it stands for: a text
// held in UTF-8 (from a Unicode file) as it is, ANSI bytes in the ANSI code page, Windows-1252
// unless --codepage names another. The output is ASCII: characters above U+007F are written
// as \uXXXX escapes (so byte 0xE9 of an ANSI disc stays "\u00e9").
#include <nlohmann/json.hpp>
#include <string>

#include "platform/text_encoding.h"

// Keys keep the order in which they are written.
using Json = nlohmann::ordered_json;

Json jsonText(const std::string& text, platform::TextEncoding encoding);
Json jsonText(const char* text, platform::TextEncoding encoding);  // null for a null text
// ANSI texts: names of packages and files, messages.
Json byteText(const char* text);
Json byteText(const std::string& text);
// Prints one JSON object on standard output, ASCII only.
void printJson(const Json& value);
