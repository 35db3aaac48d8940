#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

#include <mutex>
#include <vector>

#include "platform/shell.h"
#include "platform/win32/handle_win.h"

namespace platform {
namespace {

const char* orNull(const std::string& s) {
    return s.empty() ? nullptr : s.c_str();
}

using CanonicalizeFunction = HRESULT(WINAPI*)(LPCSTR, LPSTR, LPDWORD, DWORD);
using VersionFunction = HRESULT(CALLBACK*)(DLLVERSIONINFO*);

class Win32Shell : public Shell {
public:
    void open(void* owner, const std::string& file, const std::string& parameters,
              const std::string& folder) override {
        ::ShellExecuteA(static_cast<HWND>(owner), "open", file.c_str(), orNull(parameters),
                        orNull(folder), SW_SHOWNORMAL);
    }

    std::uint32_t getShellLibraryVersion(const std::string& library) override {
        win32::Module module(::LoadLibraryA(library.c_str()));
        if (!module) return 0;
        auto get = reinterpret_cast<VersionFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module.get(), "DllGetVersion")));
        if (!get) return 0;
        DLLVERSIONINFO info{};
        info.cbSize = 20;
        if (FAILED(get(&info))) return 0;
        return ((info.dwMajorVersion & 0xFFFF) << 16) | (info.dwMinorVersion & 0xFFFF);
    }

    bool canonicalizeUrl(const std::string& url, std::size_t bufferSize, std::uint32_t flags,
                         std::string& out) override {
        CanonicalizeFunction canonicalize = loadCanonicalize();
        if (!canonicalize || bufferSize == 0) return false;
        std::vector<char> buf(bufferSize);
        DWORD length = static_cast<DWORD>(bufferSize);
        if (FAILED(canonicalize(url.c_str(), buf.data(), &length, flags)) || length == 0)
            return false;
        out.assign(buf.data(), length < bufferSize ? length : bufferSize - 1);
        return true;
    }

private:
    // shlwapi.dll is loaded on the first canonicalisation only.
    CanonicalizeFunction loadCanonicalize() {
        std::call_once(once_, [this] {
            shlwapi_.reset(::LoadLibraryA("shlwapi.dll"));
            if (shlwapi_)
                canonicalize_ = reinterpret_cast<CanonicalizeFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(shlwapi_.get(), "UrlCanonicalizeA")));
        });
        return canonicalize_;
    }
    std::once_flag once_;
    win32::Module shlwapi_;
    CanonicalizeFunction canonicalize_ = nullptr;
};

}  // namespace

Shell& systemShell() {
    static Win32Shell shell;
    return shell;
}

}  // namespace platform
