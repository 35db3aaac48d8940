#include <windows.h>

#include <vector>

#include "platform/environment.h"
#include "platform/win32/wide_text_win.h"

namespace platform {
namespace {

class Win32Environment : public Environment {
public:
    bool expand(const std::string& text, std::size_t bufferSize, std::string& out) override {
        if (bufferSize == 0) return false;
        std::vector<wchar_t> buf(bufferSize);
        DWORD n = ::ExpandEnvironmentStringsW(win32::wide(text).c_str(), buf.data(),
                                              static_cast<DWORD>(bufferSize));
        if (n == 0 || n > bufferSize) return false;
        out = win32::narrow(buf.data());
        return true;
    }
};

}  // namespace

Environment& systemEnvironment() {
    static Win32Environment environment;
    return environment;
}

}  // namespace platform
