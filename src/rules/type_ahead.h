#pragma once
// Type-ahead search of the option list pages: the list holds no texts of its own, so the
// page keeps the keys typed and finds the row by a binary search over the folded labels.
#include <array>
#include <cstdint>
#include <string>

#include "platform/text_encoding.h"

struct Menu;
class SetupConfig;

// Byte of a label (Windows-1252) -> byte compared: lower case, accents dropped.
extern const std::array<unsigned char, 256> searchFoldTable;

inline constexpr std::size_t TYPE_AHEAD_LIMIT = 32;
inline constexpr std::int64_t TYPE_AHEAD_PAUSE_SECONDS = 2;

// Per list page: the keys typed so far and when the last one was accepted (whole seconds).
struct TypeAheadState {
    std::string typeAheadBuffer;
    std::int64_t lastKeyTime = 0;
};

// A menu of an ANSI disc (its script and settings ANSI, whatever they are held in) is searched
// by bytes through
// searchFoldTable, with keys in the ANSI code page; any other in UTF-8 through the fold of
// search_fold.h, keys too, with keys in UTF-8 and letters of every script counting as keys.
platform::TextEncoding typeAheadEncoding(const Menu& menu, const SetupConfig* config);

// The row of the first option whose folded label is at or after key, -1 for an empty key or
// menu. Labels are expanded through config (null: taken as written).
int findOptionByPrefix(const Menu& menu, const std::string& key, const SetupConfig* config);

// The list's find request: searchText is what the list typed, now the time in whole seconds.
// Answers the row to move to.
int typeAheadFind(TypeAheadState& state, const std::string& searchText, std::int64_t now,
                  const Menu& menu, const SetupConfig* config);
