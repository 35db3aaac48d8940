// Disc files to texts: which files are Unicode, what a broken one becomes, and the ANSI code
// pages that the texts of the other files are read in.
#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/text_encoding.h"

namespace {

using platform::TextEncoding;

struct DecodeCase {
    const char* name;
    std::string file;
    std::string text;  // what the program holds
    TextEncoding encoding;
};

const std::string FFFD = "\xEF\xBF\xBD";

const DecodeCase DECODE_CASES[] = {
    {"no mark: bytes as they are", "caf\xE9 \x80\xC3\xA9", "caf\xE9 \x80\xC3\xA9",
     TextEncoding::Ansi},
    {"empty file", "", "", TextEncoding::Ansi},
    {"lone FF is no mark",
     "\xFF"
     "a",
     "\xFF"
     "a",
     TextEncoding::Ansi},
    {"UTF-8 mark dropped", "\xEF\xBB\xBF\xD0\x96 \xE2\x82\xAC", "\xD0\x96 \xE2\x82\xAC",
     TextEncoding::Utf8},
    {"UTF-8 mark only", "\xEF\xBB\xBF", "", TextEncoding::Utf8},
    {"UTF-16LE",
     std::string("\xFF\xFE"
                 "A\0\x16\x04\xAC\x20",
                 8),
     "A\xD0\x96\xE2\x82\xAC", TextEncoding::Utf8},
    {"UTF-16BE", std::string("\xFE\xFF\0A\x04\x16", 6), "A\xD0\x96", TextEncoding::Utf8},
    {"UTF-16 pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80",
     TextEncoding::Utf8},
    {"UTF-16 lone high surrogate",
     std::string("\xFF\xFE\x3D\xD8"
                 "a\0",
                 6),
     FFFD + "a", TextEncoding::Utf8},
    {"UTF-16 lone low surrogate",
     std::string("\xFF\xFE\x00\xDE"
                 "a\0",
                 6),
     FFFD + "a", TextEncoding::Utf8},
    {"UTF-16 high surrogate at the end",
     std::string("\xFF\xFE"
                 "a\0\x3D\xD8",
                 6),
     "a" + FFFD, TextEncoding::Utf8},
    {"UTF-16 odd last byte dropped",
     std::string("\xFF\xFE"
                 "a\0b",
                 5),
     "a", TextEncoding::Utf8},
    {"UTF-16 NUL kept",
     std::string("\xFF\xFE"
                 "a\0\0\0b\0",
                 8),
     std::string("a\0b", 3), TextEncoding::Utf8},
    {"UTF-8 stray continuation",
     "\xEF\xBB\xBF"
     "a\x80z",
     "a" + FFFD + "z", TextEncoding::Utf8},
    {"UTF-8 cut sequence", "\xEF\xBB\xBF\xE2\x82z", FFFD + FFFD + "z", TextEncoding::Utf8},
    {"UTF-8 overlong", "\xEF\xBB\xBF\xC0\xAF", FFFD + FFFD, TextEncoding::Utf8},
    {"UTF-8 surrogate", "\xEF\xBB\xBF\xED\xA0\x80", FFFD + FFFD + FFFD, TextEncoding::Utf8},
    {"UTF-8 above U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80", FFFD + FFFD + FFFD + FFFD,
     TextEncoding::Utf8},
    {"UTF-8 four bytes", "\xEF\xBB\xBF\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80", TextEncoding::Utf8},
    {"UTF-8 truncated at the end", "\xEF\xBB\xBF\xF0\x9F", FFFD + FFFD, TextEncoding::Utf8},
};

TEST(TextEncoding, DecodeTable) {
    for (const DecodeCase& c : DECODE_CASES) {
        SCOPED_TRACE(c.name);
        platform::DecodedText d = platform::decodeFile(c.file);
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.encoding, c.encoding);
    }
}

TEST(TextEncoding, UnicodeFileReadInAnyPiecesGivesTheSameText) {
    // A file read in blocks splits units and pairs anywhere.
    std::string body(
        "a\0\x16\x04\x3D\xD8\x00\xDE"
        "z\0",
        10);
    std::string whole = platform::decodeFile("\xFF\xFE" + body).text;
    for (std::size_t cut = 0; cut <= body.size(); ++cut) {
        platform::Utf16Decoder decoder(false);
        std::string out;
        decoder.feed(std::string_view(body).substr(0, cut), out);
        decoder.feed(std::string_view(body).substr(cut), out);
        decoder.finish(out);
        EXPECT_EQ(out, whole) << "cut at " << cut;
    }
}

TEST(TextEncoding, Utf16RoundTripAndLengths) {
    const std::string text = "Ελληνικά 日本語 \xF0\x9F\x98\x80";
    std::u16string units = platform::utf8ToUtf16(text);
    EXPECT_EQ(units.size(), platform::utf16Length(text));
    EXPECT_EQ(units.size(), 8u + 1 + 3 + 1 + 2);
    EXPECT_EQ(platform::utf16ToUtf8(units), text);
    EXPECT_EQ(platform::utf8ToUtf16("a\xFF"), u"a\uFFFD");
    EXPECT_EQ(platform::utf16ToUtf8(u"\xD800"), FFFD);
}

struct CodePageCase {
    int codePage;
    std::string ansi;
    std::string utf8;
    bool fits;  // the UTF-8 text has bytes in the code page, and they are ansi
};

const CodePageCase CODE_PAGE_CASES[] = {
    {1252, "caf\xE9 \x80\x92\x9F", "café €’Ÿ", true},
    {1252, "\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", true},
    {1252, "", "Ж", false},
    {1252, "", "ĉ", false},  // no look-alike: ĉ is not c
    {1252, "", "\xFF", false},
    {1251, "\xD0\xF3\xF1\xF1\xEA\xE8\xE9", "Русский", true},
    {1251, "", "é", false},
    {1253, "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC", "Ελληνικά", true},
    {932, "\x93\xFA\x96\x7B\x8C\xEA", "日本語", true},
    {65001, "Ж", "Ж", true},
};

TEST(CodePage, ConversionTable) {
    for (const CodePageCase& c : CODE_PAGE_CASES) {
        SCOPED_TRACE(std::to_string(c.codePage) + " " + c.utf8);
        auto page = platform::openCodePage(c.codePage);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->number(), c.codePage);
        if (!c.ansi.empty()) {
            EXPECT_EQ(page->toUtf8(c.ansi), c.utf8);
        }
        std::optional<std::string> back = page->fromUtf8(c.utf8);
        EXPECT_EQ(back.has_value(), c.fits);
        if (c.fits && back) {
            EXPECT_EQ(*back, c.ansi);
        }
    }
    EXPECT_EQ(platform::openCodePage(65001)->toUtf8("a\xFF"), "a" + FFFD);
    EXPECT_FALSE(platform::openCodePage(0));
    EXPECT_FALSE(platform::openCodePage(99999));
}

TEST(CodePage, EveryByteOf1252ComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const platform::CodePage& page = platform::windows1252();
    EXPECT_EQ(page.fromUtf8(page.toUtf8(all)), all);
    EXPECT_EQ(platform::windows1252Bytes("caf\xC3\xA9 Ж\xF0\x9F\x98\x80 \x80"),
              "caf\xE9 ??"
              " ?");
}

TEST(CodePage, ProcessCodePageCanBeChosenAndReset) {
    platform::setAnsiCodePage(platform::openCodePage(1251));
    EXPECT_EQ(platform::asUtf8("\xC6", TextEncoding::Ansi), "Ж");
    EXPECT_EQ(platform::asUtf8("\xC6", TextEncoding::Utf8), "\xC6");
    platform::setAnsiCodePage(nullptr);
#ifndef _WIN32
    EXPECT_EQ(platform::ansiCodePage().number(), 1252);
    EXPECT_EQ(platform::asUtf8("\xC6", TextEncoding::Ansi), "Æ");
#endif
}

}  // namespace
