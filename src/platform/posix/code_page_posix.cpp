// Code pages other than the built-in ones through glibc's iconv, which knows them as "CP<n>".
#include <iconv.h>

#include <cerrno>
#include <vector>

#include "platform/code_page.h"

namespace platform {

namespace {

// One conversion descriptor, closed with its owner.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : cd_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (*this) ::iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    explicit operator bool() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of in; an input byte that cannot be converted is handed to onError, which
    // says whether to go on past it.
    template <typename OnError>
    bool convert(std::string_view in, std::string& out, OnError onError) const {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        std::vector<char> buffer(4 * in.size() + 16);
        while (left > 0) {
            char* dst = buffer.data();
            std::size_t room = buffer.size();
            std::size_t r = ::iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer.data(), static_cast<std::size_t>(dst - buffer.data()));
            if (r != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) continue;
            if (!onError(out)) return false;
            ++src;  // an undefined byte, or a sequence cut off at the end
            --left;
        }
        return true;
    }

private:
    iconv_t cd_;
};

class IconvCodePage : public CodePage {
public:
    explicit IconvCodePage(int number)
        : number_(number),
          toUtf8_("UTF-8", "CP" + std::to_string(number)),
          fromUtf8_("CP" + std::to_string(number), "UTF-8") {}
    bool valid() const { return toUtf8_ && fromUtf8_; }

    int number() const override { return number_; }
    std::string toUtf8(std::string_view ansi) const override {
        std::string out;
        toUtf8_.convert(ansi, out, [](std::string& o) {
            appendUtf8(o, REPLACEMENT);
            return true;
        });
        return out;
    }
    std::optional<std::string> fromUtf8(std::string_view utf8) const override {
        std::string out;
        if (validUtf8(utf8) != utf8) return std::nullopt;
        if (!fromUtf8_.convert(utf8, out, [](std::string&) { return false; })) return std::nullopt;
        return out;
    }

private:
    int number_;
    Converter toUtf8_, fromUtf8_;
};

}  // namespace

std::unique_ptr<CodePage> openSystemCodePage(int number) {
    if (number <= 0) return nullptr;
    auto page = std::make_unique<IconvCodePage>(number);
    if (!page->valid()) return nullptr;
    return page;
}

std::unique_ptr<CodePage> openProcessCodePage() {
    return nullptr;
}

}  // namespace platform
