#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "disc/image_names.h"
#include "disc/image_volume.h"

namespace {

using namespace disc;

// A refusal that names the rule expected (a part of its text), or none when none is.
void expectRule(const std::string& refusal, const std::string& rule, const std::string& what) {
    if (rule.empty())
        EXPECT_EQ(refusal, "") << what;
    else
        EXPECT_NE(refusal.find(rule), std::string::npos) << what << ": " << refusal;
}

// One row per name: the part of the refusal that names the rule, empty when the name is fine.
TEST(ImageRules, Names) {
    const std::string sixtyFour(64, 'n');
    // 32 code points beyond the basic plane: 64 UTF-16 characters.
    std::string astral;
    for (int i = 0; i < 32; ++i) astral += "\xF0\x9F\x98\x80";
    struct Row {
        std::string name, refusal;
    } rows[] = {
        {"Setup.exe", ""},
        {sixtyFour, ""},
        {sixtyFour + "x", "longer than 64 UTF-16 characters"},
        {astral, ""},
        {astral + "x", "longer than 64 UTF-16 characters"},
        {std::string(64, 'a').replace(0, 1, "\xC3\xA9"), ""},  // é is one character, two bytes
        {"a:b", "may not hold * / : ; ? \\"},
        {"a*b", "may not hold"},
        {"a;1", "may not hold"},
        {"what?", "may not hold"},
        {"back\\slash", "may not hold"},
        {"tab\there", "control characters"},
        {"a<b>c|d\"e", ""},
        {"caf\xE9", "not a UTF-8 name"},       // Latin-1 byte
        {"\xC0\xAF", "not a UTF-8 name"},      // overlong '/'
        {"\xED\xA0\x80", "not a UTF-8 name"},  // a surrogate
        {"x.txt.", "ends in a dot or a blank"},
        {"x.txt ", "ends in a dot or a blank"},
        {".hidden", ""},
        {"", "an empty name"},
    };
    for (const Row& row : rows) expectRule(nameRefusal(row.name), row.refusal, row.name);
}

TEST(ImageRules, NamesOfOneFolderThatWindowsTakesForOne) {
    struct Row {
        std::vector<std::string> names;
        bool clash;
        std::size_t first, second;
    } rows[] = {
        {{"README", "setup.exe", "readme"}, true, 0, 2},
        {{"x.txt", "x.txt.", "x.txt "}, true, 0, 1},
        {{"a", "b", "A. . "}, true, 0, 2},
        {{"\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89"}, true, 0, 1},  // Été, éTÉ
        {{"\xD0\x94\xD0\xB0", "\xD0\xB4\xD0\x90"}, true, 0, 1},    // Cyrillic De a
        {{"\xC5\x81\xC3\xB3"
          "d\xC5\xBA",
          "\xC5\x82\xC3\x93"
          "D\xC5\xB9"},
         true,
         0,
         1},                                     // Łódź
        {{"e", "\xC3\xA9", "E1"}, false, 0, 0},  // an accent makes another name
        {{"a.b", "a_b", "ab"}, false, 0, 0},
    };
    for (const Row& row : rows) {
        std::size_t first = 99, second = 99;
        ASSERT_EQ(findFoldedPair(row.names, first, second), row.clash) << row.names[0];
        if (row.clash) {
            EXPECT_EQ(first, row.first) << row.names[0];
            EXPECT_EQ(second, row.second) << row.names[0];
        }
    }
    EXPECT_EQ(windowsFold("Games\\epoc./Demo.EXE"), windowsFold("games/EPOC/demo.exe"));
    EXPECT_NE(windowsFold("games/epoc"), windowsFold("games/epoc2"));
}

TEST(ImageRules, Labels) {
    struct Row {
        std::string label, refusal;
    } rows[] = {
        {"HANDHELD_2026", ""},
        {std::string(16, 'A'), ""},
        {std::string(17, 'A'), "16 characters, the most a Joliet label"},
        {std::string(32, 'A'), "16 characters"},
        {std::string(33, 'A'), "32 characters, the most an ISO 9660 label"},
        {"lower", "only A-Z, 0-9 and _"},
        {"TWO WORDS", "only A-Z, 0-9 and _"},
        {"A-B", "only A-Z"},
        {"", "at least one character"},
    };
    for (const Row& row : rows) expectRule(labelRefusal(row.label), row.refusal, row.label);
    // Titles of the Western code page; every label made is one that labelRefusal takes.
    struct Title {
        std::string text, label;
    } titles[] = {
        {"Handheld Collection Setup", "HANDHELD_COLLECT"},
        {"  Pocket-PC 2003  ", "POCKET_PC_2003"},
        {"Gr\xFC\xDF"
         "e \xE0 \xC9t\xE9!",
         "GRUSE_A_ETE"},
        {"ABCDEFGHIJKLMNO PQ", "ABCDEFGHIJKLMNO"},  // cut before a '_' at the end
        {"!!!", "SETUP"},
        {"", "SETUP"},
    };
    for (const Title& t : titles) {
        EXPECT_EQ(labelFromTitle(t.text), t.label) << t.text;
        EXPECT_EQ(labelRefusal(labelFromTitle(t.text)), "") << t.text;
    }
}

TEST(ImageRules, Autorun) {
    EXPECT_EQ(makeAutorun("DISC_1"),
              "[autorun]\r\nopen=Setup.exe\r\nicon=Setup.exe,0\r\nlabel=DISC_1\r\n");
    EXPECT_EQ(autorunProgram(makeAutorun("DISC_1")), "Setup.exe");
    struct Row {
        std::string inf, program;
    } rows[] = {
        {"[AutoRun]\r\nOPEN = tools\\start.exe -x\r\n", "tools/start.exe"},
        {"[autorun]\nopen=\"My Tools\\go.exe\" /s\n", "My Tools/go.exe"},
        {"[autorun]\nopen=.\\setup.exe\n", "setup.exe"},
        {"[autorun]\nopen=\\bin\\a.exe\n", "bin/a.exe"},
        {"[autorun]\nopen=first.exe\nopen=second.exe\n", "first.exe"},
        {"; open=comment.exe\n[autorun]\nicon=x.ico\n", ""},
        {"[other]\nopen=elsewhere.exe\n[autorun]\nlabel=X\n", ""},
        {"[autorun.mips]\nopen=mips.exe\n", ""},
        {"open=nosection.exe\n", ""},
        {"", ""},
    };
    for (const Row& row : rows) EXPECT_EQ(autorunProgram(row.inf), row.program) << row.inf;
}

}  // namespace
