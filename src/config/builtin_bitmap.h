#pragma once
// The header of res/BAR.BMP, the built-in side picture (generated with the picture).
inline constexpr int BUILTIN_BAR_HEADER_SIZE = 54;
extern const unsigned char builtinBarHeader[BUILTIN_BAR_HEADER_SIZE];
extern const unsigned long long builtinBarFileSize;
