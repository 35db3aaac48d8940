// Menu scripts with a byte-order mark: their texts come in UTF-8 whatever the code page, and a
// script without one reads as its bytes, as it always did.
#include "menu/script_reader.h"
#include "parser_test_util.h"
#include "platform/text_encoding.h"

namespace {

using platform::TextEncoding;

std::string utf16(const std::string& utf8, bool bigEndian = false) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : platform::utf8ToUtf16(utf8)) {
        char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

// One menu: a title, a top text and the labels and targets of three options.
std::string script(const char* title, const char* label, const char* target) {
    return lines({"PALM", "1", title, "1.0", "-", "MENU 0 3 LIST", "TOPTEXT", title, "*",
                  "HTMLOPTION", label, target, "EXEOPTION", label, "run.exe",
                  std::string("copyright ").append(target).c_str(), "QUIT", label, "END"});
}

struct ScriptCase {
    const char* name;
    std::string file;
    std::string title, label, target;
    TextEncoding encoding;
};

const std::string UNICODE_SCRIPT = script("Русский 日本語", "Ωμέγα", "Документ.txt");

const ScriptCase SCRIPT_CASES[] = {
    {"UTF-16LE", utf16(UNICODE_SCRIPT), "Русский 日本語", "Ωμέγα", "Документ.txt",
     TextEncoding::Utf8},
    {"UTF-16BE", utf16(UNICODE_SCRIPT, true), "Русский 日本語", "Ωμέγα", "Документ.txt",
     TextEncoding::Utf8},
    {"UTF-8 mark", "\xEF\xBB\xBF" + UNICODE_SCRIPT, "Русский 日本語", "Ωμέγα", "Документ.txt",
     TextEncoding::Utf8},
    {"ANSI bytes", script("Caf\xE9", "\xC9l\xE8ve", "d\xE9j\xE0.txt"), "Caf\xE9", "\xC9l\xE8ve",
     "d\xE9j\xE0.txt", TextEncoding::Ansi},
    {"UTF-8 without the mark stays bytes", UNICODE_SCRIPT, "Русский 日本語", "Ωμέγα",
     "Документ.txt", TextEncoding::Ansi},
    {"broken UTF-8 replaced", "\xEF\xBB\xBF" + script("a\xFFz", "b\xC3", "c"), "a\xEF\xBF\xBDz",
     "b\xEF\xBF\xBD", "c", TextEncoding::Utf8},
};

TEST(UnicodeScript, EveryKindOfFile) {
    for (const ScriptCase& c : SCRIPT_CASES) {
        SCOPED_TRACE(c.name);
        ParserHarness h;
        ASSERT_EQ(h.parse("PALM.mnu", c.file), 0) << h.lastMessage();
        const Menu& m = (*h.file)[0];
        EXPECT_EQ(m.textEncoding, c.encoding);
        EXPECT_STREQ(m.title, c.title.c_str());
        EXPECT_STREQ(m.topText, c.title.c_str());
        ASSERT_EQ(m.optionCount, 3);
        EXPECT_STREQ(m.options[0].label, c.label.c_str());
        EXPECT_STREQ(m.options[0].target, c.target.c_str());
        EXPECT_STREQ(m.options[1].copyright, c.target.c_str());
        EXPECT_STREQ(m.options[2].label, c.label.c_str());
    }
}

TEST(UnicodeScript, SwitchToAFileOfTheOtherKind) {
    // The texts of one MenuFile are held in one encoding: UTF-8 once any of its files is.
    struct Case {
        const char* name;
        std::string first, second;
    } cases[] = {
        {"ANSI, then Unicode",
         lines({"PALM", "2", "Caf\xE9", "1", "-", "MENU 0 1 LIST", "QUIT", "\xC9l\xE8ve",
                "SWITCHTO more.mnu"}),
         utf16(lines({"MENU 1 1 LIST", "QUIT", "Ωμέγα", "END"}))},
        {"Unicode, then ANSI",
         utf16(lines({"PALM", "2", "Café", "1", "-", "MENU 0 1 LIST", "QUIT", "Élève",
                      "SWITCHTO more.mnu"})),
         "\xEF\xBB\xBF" + lines({"MENU 1 1 LIST", "QUIT", "Ωμέγα", "END"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParserHarness h;
        h.write("more.mnu", c.second);
        ASSERT_EQ(h.parse("PALM.mnu", c.first), 0) << h.lastMessage();
        for (int n = 0; n < 2; ++n) {
            EXPECT_EQ((*h.file)[n].textEncoding, TextEncoding::Utf8);
            EXPECT_STREQ((*h.file)[n].title, "Café");
        }
        EXPECT_STREQ((*h.file)[0].options[0].label, "Élève");
        EXPECT_STREQ((*h.file)[1].options[0].label, "Ωμέγα");
    }
    ParserHarness h;
    h.write("more.mnu", lines({"MENU 1 1 LIST", "QUIT", "\xC9l\xE8ve", "END"}));
    ASSERT_EQ(h.parse("PALM.mnu", utf16(lines({"PALM", "2", "A", "1", "-", "MENU 0 1 LIST", "QUIT",
                                               "Ж", "SWITCHTO more.mnu"}))),
              0);
    EXPECT_STREQ((*h.file)[1].options[0].label, "Élève");  // Windows-1252 on this side
}

TEST(UnicodeScript, LongLineIsCutBetweenCharacters) {
    // 1023 bytes fill the line buffer; a two-byte character that would straddle the end
    // starts the next line instead.
    for (std::size_t ascii : {1020u, 1021u, 1022u}) {
        SCOPED_TRACE(ascii);
        std::string line = std::string(ascii, 'x') + "ЖЖ";
        testing_support::ScratchDir dir;
        for (const std::string& file : {"\xEF\xBB\xBF" + line, utf16(line)}) {
            auto path = dir.write("s.mnu", file).string();
            ScriptReader reader(platform::systemFileSystem().openRegularFile(path));
            char buffer[SCRIPT_LINE_SIZE];
            std::string joined;
            while (reader.readLine(buffer)) {
                EXPECT_EQ(platform::validUtf8(buffer), buffer);
                joined += buffer;
            }
            EXPECT_EQ(joined, line);
        }
    }
}

}  // namespace
