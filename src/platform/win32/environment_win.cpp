#include <windows.h>

#include <vector>

#include "platform/environment.h"

namespace platform {
namespace {

class Win32Environment : public Environment {
public:
    bool expand(const std::string& text, std::size_t bufferSize, std::string& out) override {
        if (bufferSize == 0) return false;
        std::vector<char> buf(bufferSize);
        DWORD n =
            ::ExpandEnvironmentStringsA(text.c_str(), buf.data(), static_cast<DWORD>(bufferSize));
        if (n == 0 || n > bufferSize) return false;
        out = buf.data();
        return true;
    }
};

}  // namespace

Environment& systemEnvironment() {
    static Win32Environment environment;
    return environment;
}

}  // namespace platform
