#include <windows.h>

#include <vector>

#include "platform/process.h"
#include "platform/win32/handle_win.h"
#include "platform/win32/wide_text_win.h"

namespace platform {
namespace {

class Win32Process : public Process {
public:
    explicit Win32Process(HANDLE h) : h_(h) {}
    bool exitCode(std::uint32_t& code) override {
        DWORD c = 0;
        if (!::GetExitCodeProcess(h_.get(), &c)) return false;
        code = c;
        return true;
    }

private:
    win32::KernelHandle h_;
};

class Win32ProcessRunner : public ProcessRunner {
public:
    std::unique_ptr<Process> start(const std::string& commandLine,
                                   std::uint32_t& errorCode) override {
        // CreateProcessW may write into the command line.
        std::wstring buf = win32::wide(commandLine);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &pi)) {
            errorCode = ::GetLastError();
            return nullptr;
        }
        win32::KernelHandle thread(pi.hThread);
        return std::make_unique<Win32Process>(pi.hProcess);
    }
    void sleep(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

ProcessRunner& systemProcessRunner() {
    static Win32ProcessRunner runner;
    return runner;
}

}  // namespace platform
