#pragma once
// The one crossing of texts into Windows: the program holds UTF-8 (see
// platform/text_encoding.h) and calls the wide functions with UTF-16.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace platform::win32 {

inline std::wstring wide(std::string_view utf8) {
    std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

inline std::string narrow(std::wstring_view text) {
    return utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}
inline std::string narrow(const wchar_t* text) {
    return text ? narrow(std::wstring_view(text)) : std::string();
}

// A window's whole text.
inline std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}
inline void setWindowText(HWND window, std::string_view utf8) {
    ::SetWindowTextW(window, wide(utf8).c_str());
}

}  // namespace platform::win32
