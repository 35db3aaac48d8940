// Discs whose settings and text files are Unicode: every character of every language comes
// through in UTF-8, and a disc without marks reads as it always did.
#include <gtest/gtest.h>

#include "config/setup_config.h"
#include "config/text_file.h"
#include "disc_fixture.h"
#include "platform/file_system.h"

namespace {

using platform::TextEncoding;

std::string utf16le(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    for (char16_t u : platform::utf8ToUtf16(utf8)) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

const std::string INI =
    "[Language]\r\nlang0=English\r\nlang1=Русский\r\nlang2=日本語\r\nlang3=Ελληνικά\r\n"
    "defaultlanguage=1\r\n[lang0]\r\ntext0=Yes\r\n[lang1]\r\ntext0=Выход?\r\n"
    "text1=Строка\\nдругая\r\nfile0=licence.txt\r\nfile1=old.txt\r\n[lang2]\r\ntext2=x\r\n"
    "[lang3]\r\ntext3=Ωμέγα\r\n";

struct DiscCase {
    const char* name;
    std::string ini;
    bool unicodeTexts;
    std::vector<std::string> languages;
    std::vector<std::string> texts;
    TextEncoding encoding;
};

const DiscCase DISC_CASES[] = {
    {"UTF-16",
     utf16le(INI),
     true,
     {"English", "Русский", "日本語", "Ελληνικά"},
     {"Выход?", "Строка\nдругая"},
     TextEncoding::Utf8},
    {"UTF-8",
     "\xEF\xBB\xBF" + INI,
     true,
     {"English", "Русский", "日本語", "Ελληνικά"},
     {"Выход?", "Строка\nдругая"},
     TextEncoding::Utf8},
    {"UTF-16 read as the ANSI functions read it",
     utf16le(INI),
     false,
     {"English", "???????", "???", "????????"},
     {"??????", "??????\n??????"},
     TextEncoding::Ansi},
    {"ANSI stays bytes",
     INI,
     true,
     {"English", "Русский", "日本語", "Ελληνικά"},
     {"Выход?", "Строка\nдругая"},
     TextEncoding::Ansi},
};

TEST(UnicodeDisc, SettingsOfEveryKind) {
    for (const DiscCase& c : DISC_CASES) {
        SCOPED_TRACE(c.name);
        DiscFixture disc;
        disc.writeAllSkins();
        disc.writeIni(c.ini);
        disc.dir.write("rsc/licence.txt", utf16le("Лицензия\r\n\r\n日本語"));
        disc.dir.write("rsc/old.txt", "caf\xE9\n");
        SetupConfig config;
        config.unicodeTexts = c.unicodeTexts;
        ASSERT_TRUE(config.load(disc.dataDir()));
        EXPECT_EQ(config.textEncoding, c.encoding);
        EXPECT_EQ(config.languageNames, c.languages);
        EXPECT_EQ(config.texts, c.texts);
        EXPECT_EQ(config.fileTexts,
                  (std::vector<std::string>{"Лицензия\r\n\r\n日本語\r\n", "caf\xE9\r\n"}));
        EXPECT_EQ(config.fileTextEncodings,
                  (std::vector<TextEncoding>{TextEncoding::Utf8, TextEncoding::Ansi}));
    }
}

TEST(UnicodeDisc, ReferencesJoinTextsOfBothKindsInUtf8) {
    DiscFixture disc;
    disc.writeAllSkins();
    disc.writeIni(utf16le("[Language]\r\nlang0=E\r\n[lang0]\r\ntext0=Ω %s\r\ntext1=Zeile %s\r\n"));
    SetupConfig config;
    config.unicodeTexts = true;
    ASSERT_TRUE(config.load(disc.dataDir()));
    // A script without a mark (Windows-1252 here) and one with.
    EXPECT_EQ(config.resolveUtf8("%00caf\xE9", TextEncoding::Ansi), "Ω café");
    EXPECT_EQ(config.resolveUtf8("%01Ж|x", TextEncoding::Utf8), "Zeile Ж");
    EXPECT_EQ(config.resolveUtf8("caf\xE9", TextEncoding::Ansi), "café");

    DiscFixture ansi;
    ansi.writeAllSkins();
    ansi.writeIni("[Language]\nlang0=E\n[lang0]\ntext0=\xC9l\xE8ve %s\n");
    SetupConfig old;
    ASSERT_TRUE(old.load(ansi.dataDir()));
    EXPECT_EQ(old.resolveUtf8("%00Ж", TextEncoding::Utf8), "Élève Ж");
    EXPECT_EQ(old.resolveUtf8("%00\xE0", TextEncoding::Ansi), "Élève à");
    EXPECT_EQ(old.resolveText("%00\xE0"), "\xC9l\xE8ve \xE0");
}

TEST(UnicodeDisc, TextFilesOfEveryKind) {
    struct Case {
        const char* name;
        std::string content;
        std::string expected;
        TextEncoding encoding;
    } cases[] = {
        {"UTF-16 lines", utf16le("Ж\r\nω\n"), "Ж\r\nω\r\n", TextEncoding::Utf8},
        {"UTF-16 Ctrl-Z ends it",
         utf16le("a\x1A"
                 "b"),
         "a\r\n", TextEncoding::Utf8},
        {"UTF-8 mark dropped", "\xEF\xBB\xBFЖ", "Ж\r\n", TextEncoding::Utf8},
        {"UTF-8 without the mark stays bytes", "\xD0\x96", "\xD0\x96\r\n", TextEncoding::Ansi},
        {"broken UTF-16 pair",
         std::string("\xFF\xFE\x3D\xD8"
                     "a\0",
                     6),
         "\xEF\xBF\xBD"
         "a\r\n",
         TextEncoding::Utf8},
    };
    testing_support::ScratchDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto path = dir.write("t.txt", c.content).string();
        std::string out;
        TextEncoding encoding = TextEncoding::Ansi;
        EXPECT_EQ(readTextFile(platform::systemFileSystem(), path, out, TEXT_FILE_LIMIT, &encoding),
                  c.content.size());
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(encoding, c.encoding);
    }
}

}  // namespace

// Setup.exe holds every text in UTF-8: an ANSI disc's texts, file names and text files are
// converted as they are read (the characters the ANSI functions gave), a Unicode disc's come
// whole; only an ANSI disc says it was converted (type-ahead keeps its byte table).
TEST(UnicodeDisc, HeldInUtf8FromTheRead) {
    struct Case {
        const char* name;
        std::string ini;
        bool converted;
    } cases[] = {
        {"ANSI",
         "[Language]\nlang0=Fran\xE7"
         "ais\n[lang0]\ntext0=\xC9l\xE8ve\nfile0=caf\xE9.txt\n",
         true},
        {"UTF-16", utf16le("[Language]\nlang0=Français\n[lang0]\ntext0=Élève\nfile0=café.txt\n"),
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiscFixture disc;
        disc.writeAllSkins();
        disc.writeIni(c.ini);
        // Through the file layer: its names are UTF-8 on every system.
        {
            platform::FilePtr f =
                platform::systemFileSystem().openFile(disc.dataDir() + "rsc\\café.txt", "wb");
            ASSERT_TRUE(f);
            std::fputs("d\xE9j\xE0\n", f.get());
        }
        SetupConfig config;
        config.unicodeTexts = true;
        config.ansiAsUtf8 = true;
        ASSERT_TRUE(config.load(disc.dataDir()));
        EXPECT_EQ(config.textEncoding, TextEncoding::Utf8);
        EXPECT_EQ(config.convertedFromAnsi, c.converted);
        EXPECT_EQ(config.languageNames, (std::vector<std::string>{"Français"}));
        EXPECT_EQ(config.texts, (std::vector<std::string>{"Élève"}));
        EXPECT_EQ(config.fileTexts, (std::vector<std::string>{"déjà\r\n"}));
        EXPECT_EQ(config.fileTextEncodings, (std::vector<TextEncoding>{TextEncoding::Utf8}));
        EXPECT_EQ(config.loadTextFile(disc.dataDir() + "rsc\\café.txt"), "déjà\r\n");
    }
}
