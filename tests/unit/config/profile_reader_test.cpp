// One table of settings-file cases, run against every reader of this system: the portable
// one everywhere, and on Windows also the system's own profile functions. They must agree.
#include <gtest/gtest.h>

#include "config/profile_reader.h"
#include "platform/file_system.h"
#include "support/fakes.h"

namespace {

using testing_support::ScratchDir;

struct ProfileCase {
    const char* name;
    std::string file;  // content; "<none>" for no file at all
    const char* section;
    const char* key;
    bool number;
    std::string expected;  // text, or the number in decimal
};

const std::string LONG300(300, 'x');

std::u16string repeated16(const std::u16string& s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// Text in UTF-16 with its byte-order mark, as Notepad saves "Unicode" files.
std::string utf16(const std::u16string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

const ProfileCase CASES[] = {
    {"plain", "[lang0]\ntext0=Hello\n", "lang0", "text0", false, "Hello"},
    {"key any case", "[lang0]\nTEXT0=Hello\n", "lang0", "text0", false, "Hello"},
    {"section any case", "[LANG0]\ntext0=Hello\n", "Lang0", "text0", false, "Hello"},
    {"blanks around", "[Language]\n  lang0   =   English  \n", "Language", "lang0", false,
     "English"},
    {"tabs around", "[s]\n\tk\t=\tv w\t\n", "s", "k", false, "v w"},
    {"blanks before section", "   [s]   \nk=v\n", "s", "k", false, "v"},
    {"blanks inside brackets", "[ s ]\nk=v\n", "s", "k", false, "v"},
    {"text after bracket", "[s] note\nk=v\n", "s", "k", false, "v"},
    {"unclosed section", "[s\nk=v\n", "s", "k", false, "fallback"},
    {"unclosed section is a key", "[s]\n[t\nk=v\n", "s", "k", false, "v"},
    {"inner blanks of a key", "[s]\nmy key = v\n", "s", "my key", false, "v"},
    {"no-break space kept", "[s]\nk=v\xA0\n", "s", "k", false, "v\xA0"},
    {"Ctrl-Z trimmed", "[s]\nk=v\x1A\n", "s", "k", false, "v"},
    {"double quotes", "[s]\nk=\"quoted value\"\n", "s", "k", false, "quoted value"},
    {"single quotes", "[s]\nk='x y'\n", "s", "k", false, "x y"},
    {"blanks kept inside quotes", "[s]\nk=\"  a  \"\n", "s", "k", false, "  a  "},
    {"mixed quotes stay", "[s]\nk=\"abc'\n", "s", "k", false, "\"abc'"},
    {"opening quote only", "[s]\nk=\"abc\n", "s", "k", false, "\"abc"},
    {"lone quote", "[s]\nk=\"\n", "s", "k", false, "\""},
    {"empty quotes", "[s]\nk=\"\"\n", "s", "k", false, ""},
    {"inner quotes stay", "[s]\nk=a \"b\" c\n", "s", "k", false, "a \"b\" c"},
    {"equals in value", "[s]\nurl=http://x/?a=b\n", "s", "url", false, "http://x/?a=b"},
    {"long value cut", "[s]\nk=" + LONG300 + "\n", "s", "k", false, std::string(255, 'x')},
    {"long quoted value cut", "[s]\nk=\"" + LONG300 + "\"\n", "s", "k", false,
     std::string(255, 'x')},
    {"255 kept whole", "[s]\nk=" + std::string(255, 'y') + "\n", "s", "k", false,
     std::string(255, 'y')},
    {"duplicate key: first", "[s]\nk=one\nk=two\n", "s", "k", false, "one"},
    {"duplicate section: first only", "[s]\na=1\n[t]\n[S]\nk=two\n", "s", "k", false, "fallback"},
    {"duplicate section: first wins", "[s]\nk=one\n[s]\nk=two\n", "s", "k", false, "one"},
    {"missing file", "<none>", "s", "k", false, "fallback"},
    {"missing key", "[s]\nother=1\n", "s", "k", false, "fallback"},
    {"missing section", "[t]\nk=1\n", "s", "k", false, "fallback"},
    {"key without equals", "[s]\nk\n", "s", "k", false, "fallback"},
    {"empty value", "[s]\nk=\n", "s", "k", false, ""},
    {"comment line skipped", "[s]\n; a note\nk=v\n", "s", "k", false, "v"},
    {"commented key not found", "[s]\n;k=hidden\n", "s", "k", false, "fallback"},
    {"no comment after value", "[s]\nk=v ; note\n", "s", "k", false, "v ; note"},
    {"key before any section", "k=v\n[s]\n", "s", "k", false, "fallback"},
    {"CR LF lines", "[s]\r\nk=v\r\nj=w\r\n", "s", "j", false, "w"},
    {"CR only lines", "[s]\rk=v\rj=w\r", "s", "j", false, "w"},
    {"no final line end", "[s]\nk=v", "s", "k", false, "v"},
    {"section of another", "[s]\nk=1\n[t]\nk=2\n", "t", "k", false, "2"},
    {"high bytes", "[s]\nk=caf\xE9 \xC4\xD6\n", "s", "k", false, "caf\xE9 \xC4\xD6"},
    {"number", "[s]\nn=12\n", "s", "n", true, "12"},
    {"number with letters", "[s]\nn= 12abc\n", "s", "n", true, "12"},
    {"negative", "[s]\nn=-3\n", "s", "n", true, "-3"},
    {"plus sign", "[s]\nn=+5\n", "s", "n", true, "5"},
    {"hex prefix", "[s]\nn=0x10\n", "s", "n", true, "16"},
    {"upper X is no prefix", "[s]\nn=0X10\n", "s", "n", true, "0"},
    {"hex negative", "[s]\nn=-0x10\n", "s", "n", true, "-16"},
    {"binary prefix", "[s]\nn=0b101\n", "s", "n", true, "5"},
    {"prefix only", "[s]\nn=0x\n", "s", "n", true, "0"},
    {"two numbers", "[s]\nn=12 34\n", "s", "n", true, "12"},
    {"leading zero", "[s]\nn=010\n", "s", "n", true, "10"},
    {"not a number", "[s]\nn=abc\n", "s", "n", true, "0"},
    {"quoted number", "[s]\nn=\" 12\"\n", "s", "n", true, "12"},
    {"number missing", "[s]\n", "s", "n", true, "7"},
    {"number empty", "[s]\nn=\n", "s", "n", true, "7"},
    {"number 300", "[Colours]\nsplashR=300\n", "colours", "SPLASHR", true, "300"},
    {"number wraps", "[s]\nn=4294967297\n", "s", "n", true, "1"},
    {"UTF-16", utf16(u"[s]\r\nk=caf\u00e9\r\n", false), "s", "k", false, "caf\xE9"},
    {"UTF-16 big-endian", utf16(u"[s]\r\nk=caf\u00e9\r\n", true), "s", "k", false, "caf\xE9"},
    {"UTF-16 to the code page", utf16(u"[S]\r\n k = \u20ac\u2019 \r\n", false), "s", "k", false,
     "\x80\x92"},
    {"UTF-16 outside the code page", utf16(u"[s]\r\nk=\u0416!\r\n", false), "s", "k", false, "?!"},
    {"UTF-16 number", utf16(u"[s]\r\nn=0x1F\r\n", false), "s", "n", true, "31"},
    {"UTF-8 mark", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", false, "v"},
    {"UTF-8 to the code page", "\xEF\xBB\xBF[s]\nk=caf\xC3\xA9 \xE2\x82\xAC\xD0\x96\n", "s", "k",
     false, "caf\xE9 \x80?"},
    {"UTF-8 without the mark stays bytes", "[s]\nk=caf\xC3\xA9\n", "s", "k", false, "caf\xC3\xA9"},
};

// The texts of every file: a Unicode one in UTF-8, any other as its bytes.
struct TextCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
    platform::TextEncoding encoding;
};

const std::string SMILE = "\xF0\x9F\x98\x80";  // one character, two UTF-16 units
std::string repeated(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

using platform::TextEncoding;
const TextCase TEXT_CASES[] = {
    {"ANSI bytes", "[s]\nk=caf\xE9 \x80\n", "s", "k", "caf\xE9 \x80", TextEncoding::Ansi},
    {"UTF-8 without the mark", "[s]\nk=\xD0\x96\n", "s", "k", "\xD0\x96", TextEncoding::Ansi},
    {"UTF-16 languages",
     utf16(u"[Language]\r\nlang0=English\r\nlang2=\u0420\u0443\u0441\u0441\u043a\u0438\u0439\r\n",
           false),
     "language", "LANG2", "Русский", TextEncoding::Utf8},
    {"UTF-16 Japanese", utf16(u"[s]\r\nk=\u65e5\u672c\u8a9e\r\n", false), "s", "k", "日本語",
     TextEncoding::Utf8},
    {"UTF-16 big-endian", utf16(u"[s]\r\nk=\u0395\u03bb\r\n", true), "s", "k", "Ελ",
     TextEncoding::Utf8},
    {"UTF-16 in the code page", utf16(u"[s]\r\nk=caf\u00e9\u20ac\r\n", false), "s", "k", "café€",
     TextEncoding::Utf8},
    {"UTF-16 quotes and blanks", utf16(u"[s]\r\n k = \"  \u0416 \" \r\n", false), "s", "k", "  Ж ",
     TextEncoding::Utf8},
    {"UTF-16 pair", utf16(u"[s]\r\nk=a\U0001F600b\r\n", false), "s", "k", "a" + SMILE + "b",
     TextEncoding::Utf8},
    {"UTF-16 missing key", utf16(u"[s]\r\nj=1\r\n", false), "s", "k", "fallback",
     TextEncoding::Utf8},
    {"UTF-16 other spaces kept", utf16(u"[s]\r\nk=\u00a0x\u3000\r\n", false), "s", "k",
     "\xC2\xA0x\xE3\x80\x80", TextEncoding::Utf8},
    {"UTF-8 Cyrillic", "\xEF\xBB\xBF[s]\nk=\xD0\x96!\n", "s", "k", "Ж!", TextEncoding::Utf8},
    {"UTF-8 section any case", "\xEF\xBB\xBF[LANG7]\ntext0=\xE4\xB8\xAD\xE6\x96\x87\n", "lang7",
     "TEXT0", "中文", TextEncoding::Utf8},
    {"UTF-8 long value cut to 255 characters", "\xEF\xBB\xBF[s]\nk=" + repeated("Ж", 300) + "\n",
     "s", "k", repeated("Ж", 255), TextEncoding::Utf8},
    {"UTF-16 long value cut to 255 characters",
     utf16(u"[s]\r\nk=" + std::u16string(300, u'\u03a9') + u"\r\n", false), "s", "k",
     repeated("Ω", 255), TextEncoding::Utf8},
    {"UTF-16 long value of pairs", utf16(u"[s]\r\nk=x" + repeated16(u"\U0001F600", 200), false),
     "s", "k", "x" + repeated(SMILE, 127), TextEncoding::Utf8},
};

using Opener = std::unique_ptr<ProfileReader> (*)(const std::string& path);

std::unique_ptr<ProfileReader> portable(const std::string& path) {
    return openPortableProfile(platform::systemFileSystem(), path);
}
#ifdef _WIN32
std::unique_ptr<ProfileReader> win32(const std::string& path) {
    return openWin32Profile(path);
}
#endif

class ProfileTable : public ::testing::TestWithParam<Opener> {};

TEST_P(ProfileTable, EveryCase) {
    ScratchDir dir;
    int index = 0;
    for (const ProfileCase& c : CASES) {
        SCOPED_TRACE(c.name);
        // A file of its own per case: the system caches profile files by name.
        std::string path = (dir.path() / ("case" + std::to_string(index++) + ".ini")).string();
        if (c.file != "<none>") dir.write(path.substr(dir.str().size() + 1), c.file);
        auto reader = GetParam()(path);
        if (c.number) {
            EXPECT_EQ(std::to_string(reader->readInt(c.section, c.key, 7)), c.expected);
        } else {
            EXPECT_EQ(reader->readString(c.section, c.key, "fallback"), c.expected);
        }
    }
}

TEST_P(ProfileTable, EveryText) {
    ScratchDir dir;
    int index = 0;
    for (const TextCase& c : TEXT_CASES) {
        SCOPED_TRACE(c.name);
        std::string path = (dir.path() / ("text" + std::to_string(index++) + ".ini")).string();
        dir.write(path.substr(dir.str().size() + 1), c.file);
        auto reader = GetParam()(path);
        EXPECT_EQ(reader->encoding(), c.encoding);
        EXPECT_EQ(reader->readText(c.section, c.key, "fallback"), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Portable, ProfileTable, ::testing::Values(&portable));
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(Win32, ProfileTable, ::testing::Values(&win32));
#endif

}  // namespace
