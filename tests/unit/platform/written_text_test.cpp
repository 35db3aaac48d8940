// Which form report.txt and errors.txt take: ANSI as ever while every character fits the code
// page, UTF-8 with its mark once one does not.
#include <gtest/gtest.h>

#include "platform/written_text.h"

namespace {

using platform::TextEncoding;

struct Piece {
    std::string text;
    TextEncoding encoding;
};

struct WriteCase {
    const char* name;
    int codePage;
    std::string existing;  // what the file holds before; empty for a new file
    std::vector<Piece> pieces;
    std::string bytes;
    bool replace;
};

const TextEncoding A = TextEncoding::Ansi, U = TextEncoding::Utf8;
const std::string MARK = "\xEF\xBB\xBF";

const WriteCase WRITE_CASES[] = {
    {"ANSI pieces byte for byte",
     1252,
     "",
     {{"File d\xE9j\xE0 \x81 not found.\r\n", A}},
     "File d\xE9j\xE0 \x81 not found.\r\n",
     false},
    {"ANSI bytes of another code page untouched",
     1252,
     "",
     {{"\xD0\xF3\xF1", A}},
     "\xD0\xF3\xF1",
     false},
    {"Unicode that fits",
     1252,
     "",
     {{"Checking ", A}, {"café €", U}, {"\r\n", A}},
     "Checking caf\xE9 \x80\r\n",
     false},
    {"Unicode that does not fit",
     1252,
     "",
     {{"File d\xE9j\xE0\\", A}, {"Документ", U}},
     MARK + "File déjà\\Документ",
     false},
    {"the same in its own code page",
     1251,
     "",
     {{"File ", A}, {"Документ", U}},
     "File \xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2",
     false},
    {"broken UTF-8 kept as U+FFFD", 1252, "", {{"a\xFF", U}}, MARK + "a\xEF\xBF\xBD", false},
    {"append ANSI to an ANSI file",
     1252,
     "old \xE9\r\n",
     {{"new \xE9\r\n", A}},
     "new \xE9\r\n",
     false},
    {"append what fits", 1253, "old\r\n", {{"Ω", U}, {"x", A}}, "\xD9x", false},
    {"append to a UTF-8 file",
     1252,
     MARK + "Ж\r\n",
     {{"d\xE9j\xE0 ", A}, {"Ω", U}},
     "déjà Ω",
     false},
    {"an ANSI file meets a character it lacks",
     1252,
     "old \xE9\r\n",
     {{"Ω", U}},
     MARK + "old é\r\nΩ",
     true},
};

TEST(WrittenText, FormTable) {
    for (const WriteCase& c : WRITE_CASES) {
        SCOPED_TRACE(c.name);
        auto codePage = platform::openCodePage(c.codePage);
        ASSERT_TRUE(codePage);
        platform::WrittenText text;
        for (const Piece& p : c.pieces) text.append(p.text, p.encoding);
        platform::FileUpdate update = platform::appendedBytes(c.existing, text, *codePage);
        EXPECT_EQ(update.bytes, c.bytes);
        EXPECT_EQ(update.replace, c.replace);
        if (c.existing.empty()) {
            EXPECT_EQ(text.fileBytes(*codePage), c.bytes);
        }
    }
}

}  // namespace
