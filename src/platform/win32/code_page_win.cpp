// Code pages through the system's own conversions; the process's is the ANSI code page.
#include <windows.h>

#include "platform/code_page.h"

namespace platform {

namespace {

class Win32CodePage : public CodePage {
public:
    explicit Win32CodePage(UINT number) : number_(number) {}

    int number() const override { return static_cast<int>(number_); }
    std::string toUtf8(std::string_view ansi) const override {
        if (ansi.empty()) return {};
        int n =
            MultiByteToWideChar(number_, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0)
            MultiByteToWideChar(number_, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                n);
        return utf16ToUtf8(
            std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
    }
    std::optional<std::string> fromUtf8(std::string_view utf8) const override {
        if (validUtf8(utf8) != utf8) return std::nullopt;
        std::u16string wide = utf8ToUtf16(utf8);
        if (wide.empty()) return std::string();
        auto data = reinterpret_cast<const wchar_t*>(wide.data());
        int length = static_cast<int>(wide.size());
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, data, length, nullptr, 0,
                                    nullptr, &usedDefault);
        if (n <= 0 || usedDefault) return std::nullopt;
        std::string out(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, data, length, out.data(), n, nullptr,
                            &usedDefault);
        if (usedDefault) return std::nullopt;
        return out;
    }

private:
    UINT number_;
};

}  // namespace

std::unique_ptr<CodePage> openSystemCodePage(int number) {
    if (number <= 0 || !IsValidCodePage(static_cast<UINT>(number))) return nullptr;
    return std::make_unique<Win32CodePage>(static_cast<UINT>(number));
}

std::unique_ptr<CodePage> openProcessCodePage() {
    return openCodePage(static_cast<int>(GetACP()));
}

}  // namespace platform
