#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/setup_config.h"
#include "menu/menu_file.h"
#include "rules/search_fold.h"
#include "rules/type_ahead.h"

namespace {

// A menu whose options stand in ascending order of their folded labels.
struct SortedMenu {
    explicit SortedMenu(std::vector<std::string> l,
                        platform::TextEncoding encoding = platform::TextEncoding::Ansi)
        : labels(std::move(l)) {
        menu.textEncoding = encoding;
        options.resize(labels.size());
        for (std::size_t i = 0; i < labels.size(); ++i) options[i].label = labels[i].c_str();
        menu.optionCount = static_cast<int>(labels.size());
        menu.options = options.data();
    }
    std::vector<std::string> labels;
    std::vector<MenuOption> options;
    Menu menu;
};

SortedMenu sample() {
    return SortedMenu({"Abacus",
                       "\xC1"
                       "bc",
                       "Bridge", "\xC9lan", "Excel", "Ma\xDF", "Mass-Edit", "O'Neil", "Zip"});
}

TEST(TypeAhead, FoldTable) {
    struct Case {
        unsigned char byte, folded;
    } cases[] = {
        {'A', 'a'},  {'Z', 'z'},  {'a', 'a'},  {'0', '0'},  {'\'', ' '}, {'-', ' '},  {',', 0x1F},
        {0x82, ','}, {0xC0, 'a'}, {0xC5, 'a'}, {0xE5, 'a'}, {0xC6, 'e'}, {0xE6, 'e'}, {0xC7, 'c'},
        {0xE7, 'c'}, {0xC8, 'e'}, {0xEB, 'e'}, {0xCC, 'i'}, {0xEF, 'i'}, {0xD1, 'n'}, {0xF1, 'n'},
        {0xD2, 'o'}, {0xD6, 'o'}, {0xD8, 'o'}, {0xF8, 'o'}, {0xD9, 'u'}, {0xFC, 'u'}, {0xDF, 's'},
        {0xFF, 'y'}, {0x80, '@'}, {0x81, '@'}, {0x83, '@'}, {0xBF, '@'}, {0xD0, '@'}, {0xD7, '@'},
        {0xDD, '@'}, {0xDE, '@'}, {0xF0, '@'}, {0xF7, '@'}, {0xFD, '@'}, {0xFE, '@'}, {0x7F, 0x7F},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        EXPECT_EQ(searchFoldTable[c.byte], c.folded);
    }
    int changed = 0;
    for (int i = 0; i < 0x80; ++i) changed += searchFoldTable[i] != i;
    EXPECT_EQ(changed, 26 + 3);  // capitals, apostrophe, hyphen, comma
}

TEST(TypeAhead, FindOptionByPrefix) {
    SortedMenu m = sample();
    struct Case {
        const char* key;
        int row;
    } cases[] = {
        {"", -1},  {"a", 0},   {"ab", 0},  {"abc", 1}, {"ABC", 1},  {"b", 2},
        {"el", 3}, {"ELA", 3}, {"ex", 4},  {"mas", 5}, {"mass", 6}, {"mass e", 6},
        {"o", 7},  {"zz", 8},  {"zip", 8}, {"o'", 8},  // the key is not folded: "'" sorts after the
                                                       // label's space
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(findOptionByPrefix(m.menu, c.key, nullptr), c.row);
    }
    Menu empty;
    EXPECT_EQ(findOptionByPrefix(empty, "a", nullptr), -1);
}

TEST(TypeAhead, FindRequestsAsKeysArrive) {
    SortedMenu m = sample();
    TypeAheadState state;
    struct Step {
        const char* text;  // the list's search text; only its last character counts
        std::int64_t now;
        int row;
        const char* buffer;
        std::int64_t lastKeyTime;
    } steps[] = {
        {"e", 1000, 3, "e", 1000},   {"ex", 1001, 4, "ex", 1001},
        {"c", 1003, 4, "exc", 1003},  // a gap of exactly 2 seconds keeps the buffer
        {"m", 1006, 5, "m", 1006},    // more than 2: a new search
        {"-", 1007, 0, "m", 1007},    // "-" soon after a key keeps the buffer
        {"a", 1008, 5, "ma", 1008},  {"-", 1011, 0, "", 1008},  // "-" after a pause starts over
        {"-", 1011, 0, "", 1008},                               // and as the first key
        {"z", 1011, 8, "z", 1011},   {" ", 1011, 0, "", 1011},
        {"b", 1012, 2, "b", 1012},   {"+", 1012, 0, "", 1012},
        {"b", 1012, 2, "b", 1012},   {"?", 1012, 0, "", 1012},
        {"b", 1012, 2, "b", 1012},   {"\x01", 1012, 0, "", 1012},
        {"b", 1012, 2, "b", 1012},   {"\xC9", 1012, 0, "", 1012},  // an accented key
        {"", 1013, 0, "", 1012},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.text) + " at " + std::to_string(s.now));
        EXPECT_EQ(typeAheadFind(state, s.text, s.now, m.menu, nullptr), s.row);
        EXPECT_EQ(state.typeAheadBuffer, s.buffer);
        EXPECT_EQ(state.lastKeyTime, s.lastKeyTime);
    }
}

TEST(TypeAhead, BufferHoldsAtMost32Keys) {
    SortedMenu m = sample();
    TypeAheadState state;
    for (int i = 0; i < 32; ++i) typeAheadFind(state, "z", 500, m.menu, nullptr);
    EXPECT_EQ(state.typeAheadBuffer, std::string(32, 'z'));
    EXPECT_EQ(typeAheadFind(state, "z", 501, m.menu, nullptr), 0);
    EXPECT_EQ(typeAheadFind(state, "e", 502, m.menu, nullptr), 0);
    EXPECT_EQ(state.typeAheadBuffer.size(), 32u);
    EXPECT_EQ(state.lastKeyTime, 500);
    // A pause of more than two seconds starts a new search.
    EXPECT_EQ(typeAheadFind(state, "e", 503, m.menu, nullptr), 3);
    EXPECT_EQ(state.typeAheadBuffer, "e");
    for (int i = 0; i < 40; ++i) typeAheadFind(state, "z", 503, m.menu, nullptr);
    // So does a resetting key.
    EXPECT_EQ(typeAheadFind(state, "+", 503, m.menu, nullptr), 0);
    EXPECT_EQ(typeAheadFind(state, "b", 503, m.menu, nullptr), 2);
}

// A Unicode disc's list, in ascending order of its folded labels: Latin, Greek, Cyrillic, CJK.
SortedMenu unicodeSample() {
    return SortedMenu(
        {"Alpha", "Élan", "O'Neil", "Zeta", "Ελληνικά", "Ωμέγα", "Ёж", "Русский", "日本語"},
        platform::TextEncoding::Utf8);
}

TEST(TypeAhead, UnicodeFoldTable) {
    struct Case {
        char32_t c, folded;
    } cases[] = {
        {U'A', U'a'},   {U'\'', U' '}, {U'-', U' '}, {U',', 0x1F}, {U'É', U'e'}, {U'ß', U's'},
        {U'Æ', U'e'},   {U'Ý', U'y'},  {U'Ð', U'ð'}, {U'Ł', U'l'}, {U'ł', U'l'}, {U'İ', U'i'},
        {U'ı', U'i'},   {U'Ş', U's'},  {U'ğ', U'g'}, {U'Ș', U's'}, {U'Œ', U'o'}, {U'Ω', U'ω'},
        {U'Ώ', U'ω'},   {U'ά', U'α'},  {U'ΐ', U'ι'}, {U'ς', U'σ'}, {U'Σ', U'σ'}, {U'Ж', U'ж'},
        {U'Ё', U'е'},   {U'ё', U'е'},  {U'Й', U'и'}, {U'Ї', U'і'}, {U'Ў', U'у'}, {U'Ђ', U'ђ'},
        {U'Ҷ', U'ҷ'},   {U'Ӂ', U'ӂ'},  {U'’', U' '}, {U'‐', U' '}, {U'‚', U','}, {0x301, 0},
        {U'日', U'日'}, {U'ω', U'ω'},  {U'€', U'€'}, {U'×', U'×'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.c));
        EXPECT_EQ(foldSearchCharacter(c.c), c.folded);
    }
    // Decomposed marks count as nothing.
    EXPECT_EQ(foldSearchText("E\xCC\x81lan"), U"elan");
    // On ASCII the two folds agree.
    for (char32_t c = 1; c < 0x80; ++c)
        EXPECT_EQ(foldSearchCharacter(c), searchFoldTable[c]) << static_cast<unsigned>(c);
}

TEST(TypeAhead, UnicodeFindOptionByPrefix) {
    SortedMenu m = unicodeSample();
    struct Case {
        const char* key;
        int row;
    } cases[] = {
        {"ωμ", 5}, {"ΩΜ", 5},  {"ωμέ", 5}, {"ωμε", 5}, {"ε", 4},  {"ελλην", 4},
        {"е", 6},  {"ё", 6},   {"ру", 7},  {"РУС", 7}, {"日", 8}, {"é", 1},
        {"E", 1},  {"o'n", 2}, {"o-n", 2}, {"zz", 4},  {"ж", 7},  {"日本語x", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(findOptionByPrefix(m.menu, c.key, nullptr), c.row);
    }
    // The same labels on an ANSI disc would go through the byte table.
    EXPECT_EQ(typeAheadEncoding(sample().menu, nullptr), platform::TextEncoding::Ansi);
    EXPECT_EQ(typeAheadEncoding(m.menu, nullptr), platform::TextEncoding::Utf8);
}

TEST(TypeAhead, UnicodeKeysOfEveryScript) {
    SortedMenu m = unicodeSample();
    TypeAheadState state;
    struct Step {
        const char* text;
        std::int64_t now;
        int row;
        const char* buffer;
    } steps[] = {
        {"ω", 100, 5, "ω"},       {"ωμ", 101, 5, "ωμ"}, {"р", 104, 7, "р"},  // after a pause
        {"é", 105, 7, "рé"},       // an accented key is a key
        {"\xC2\xA0", 105, 0, ""},  // a no-break space starts over
        {"É", 106, 1, "É"},       {"-", 106, 0, "É"},   {"l", 106, 1, "Él"},
        {"\xC2\x85", 106, 0, ""},  // a control character
        {"日", 107, 8, "日"},     {"?", 107, 0, ""},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.text) + " at " + std::to_string(s.now));
        EXPECT_EQ(typeAheadFind(state, s.text, s.now, m.menu, nullptr), s.row);
        EXPECT_EQ(state.typeAheadBuffer, s.buffer);
    }
    // The limit counts characters, not bytes.
    state = {};
    for (int i = 0; i < 32; ++i) EXPECT_EQ(typeAheadFind(state, "ж", 200, m.menu, nullptr), 7);
    EXPECT_EQ(typeAheadFind(state, "ж", 200, m.menu, nullptr), 0);
}

TEST(TypeAhead, AnsiScriptOnUnicodeSettingsIsSearchedInUtf8) {
    // Labels that refer to texts of a Unicode rscinfo.ini, in a script without a mark.
    SetupConfig config;
    config.textEncoding = platform::TextEncoding::Utf8;
    config.texts = {"Ωμέγα %s", "Ελληνικά"};
    SortedMenu m({"Caf\xE9", "%01", "%00\xE9"});
    EXPECT_EQ(typeAheadEncoding(m.menu, &config), platform::TextEncoding::Utf8);
    EXPECT_EQ(findOptionByPrefix(m.menu, "cafe", &config), 0);
    EXPECT_EQ(findOptionByPrefix(m.menu, "ελ", &config), 1);
    EXPECT_EQ(findOptionByPrefix(m.menu, "ωμεγα e", &config), 2);
}

}  // namespace

// An ANSI disc's labels held in UTF-8 (as Setup.exe holds them) are searched by the byte table
// over their code page's bytes, with keys in those bytes; a Unicode disc's by the fold.
TEST(TypeAhead, LabelsConvertedFromAnsiKeepTheByteTable) {
    MenuFile file(1);
    file.allocateOptions(0, 3);
    Menu& menu = file[0];
    menu.optionCount = 3;
    const char* labels[] = {"Abc", "Café", "Zed"};
    for (int i = 0; i < 3; ++i) menu.options[i].label = file.addText(labels[i]);
    menu.textEncoding = platform::TextEncoding::Utf8;
    menu.convertedFromAnsi = true;
    EXPECT_EQ(typeAheadEncoding(menu, nullptr), platform::TextEncoding::Ansi);
    EXPECT_EQ(findOptionByPrefix(menu, "cafe", nullptr), 1);  // "Caf\xE9" folded
    EXPECT_EQ(findOptionByPrefix(menu, "cafez", nullptr), 2);
    menu.convertedFromAnsi = false;
    EXPECT_EQ(typeAheadEncoding(menu, nullptr), platform::TextEncoding::Utf8);
    EXPECT_EQ(findOptionByPrefix(menu, "CAFÉ", nullptr), 1);
}
