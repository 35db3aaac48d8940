#pragma once
// JSON output of setuptool. Texts are bytes of the system code page: bytes 0x80..0xFF are
// written as \u00XX of the byte's value, so nothing is lost.
#include <nlohmann/json.hpp>
#include <string>

// Keys keep the order in which they are written.
using Json = nlohmann::ordered_json;

Json byteText(const char* text);  // null for a null text
Json byteText(const std::string& text);
// Prints one JSON object on standard output, ASCII only.
void printJson(const Json& value);
