#include "support/ui_driver_win.h"

namespace testing_support {

HANDLE startProgram(const std::string& commandLine, const std::string& folder, DWORD& processId) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return nullptr;
    ::CloseHandle(pi.hThread);
    processId = pi.dwProcessId;
    return pi.hProcess;
}

namespace {
struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findDialog(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    char cls[64] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (pid == s->processId && ::IsWindowVisible(window) && std::string(cls) == "#32770") {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND waitForDialog(DWORD processId, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        Search s{processId, nullptr};
        ::EnumWindows(findDialog, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        if (::GetTickCount() - start > timeoutMs) return nullptr;
        ::Sleep(50);  // polling interval, not a wait for an outcome
    }
}

std::string windowText(HWND window) {
    char buf[2048] = "";
    ::SendMessageA(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string messageBoxText(HWND box) {
    // The message of a message box is its static control with id 0xFFFF.
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? windowText(text) : "";
}

void clickButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    if (button) ::SendMessageA(button, BM_CLICK, 0, 0);
}

bool waitForExit(HANDLE process, DWORD timeoutMs, DWORD& exitCode) {
    if (::WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return false;
    return ::GetExitCodeProcess(process, &exitCode) != 0;
}

std::string ownFolder() {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

}  // namespace testing_support
