#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

#include <mutex>
#include <vector>

#include "platform/shell.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/wide_text_win.h"

namespace platform {
namespace {

// Empty: no text at all.
const wchar_t* orNull(const std::wstring& s) {
    return s.empty() ? nullptr : s.c_str();
}

using CanonicalizeFunction = HRESULT(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD, DWORD);
using VersionFunction = HRESULT(CALLBACK*)(DLLVERSIONINFO*);

class Win32Shell : public Shell {
public:
    void open(void* owner, const std::string& file, const std::string& parameters,
              const std::string& folder) override {
        ::ShellExecuteW(static_cast<HWND>(owner), L"open", win32::wide(file).c_str(),
                        orNull(win32::wide(parameters)), orNull(win32::wide(folder)),
                        SW_SHOWNORMAL);
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
        std::vector<wchar_t> buf(bufferSize);
        DWORD length = static_cast<DWORD>(bufferSize);
        if (FAILED(canonicalize(win32::wide(url).c_str(), buf.data(), &length, flags)) ||
            length == 0)
            return false;
        out = win32::narrow(
            std::wstring_view(buf.data(), length < bufferSize ? length : bufferSize - 1));
        return true;
    }

private:
    // shlwapi.dll is loaded on the first canonicalisation only.
    CanonicalizeFunction loadCanonicalize() {
        std::call_once(once_, [this] {
            shlwapi_.reset(::LoadLibraryA("shlwapi.dll"));
            if (shlwapi_)
                canonicalize_ = reinterpret_cast<CanonicalizeFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(shlwapi_.get(), "UrlCanonicalizeW")));
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
