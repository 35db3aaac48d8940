#pragma once
// Text that the program writes to files of its own (report.txt, errors.txt), gathered from
// pieces of either encoding (the program's fixed texts, names from ANSI or Unicode discs).
// Such a file stays ANSI, byte for byte as ever, when every character fits the ANSI code page;
// otherwise it is UTF-8 after a byte-order mark, so that nothing is lost.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/code_page.h"

namespace platform {

class WrittenText {
public:
    WrittenText& append(std::string_view text, TextEncoding encoding = TextEncoding::Ansi);
    bool empty() const { return pieces_.empty(); }

    // The text in the code page, none when a character does not fit; ANSI pieces are taken
    // as they are.
    std::optional<std::string> ansiBytes(const CodePage& codePage) const;
    std::string utf8(const CodePage& codePage) const;
    // What a new file gets.
    std::string fileBytes(const CodePage& codePage = ansiCodePage()) const;

private:
    std::vector<std::pair<std::string, TextEncoding>> pieces_;
};

inline constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

// How text is added to a file that already holds existing: appended in the file's own form,
// or, when an ANSI file meets a character its code page lacks, the whole file written anew
// in UTF-8 (replace).
struct FileUpdate {
    std::string bytes;
    bool replace = false;
};
FileUpdate appendedBytes(std::string_view existing, const WrittenText& text,
                         const CodePage& codePage = ansiCodePage());

}  // namespace platform
