#include "setup_process_win.h"

#include <commctrl.h>

#include <fstream>

#include "support/bmp_writer.h"
#include "support/ui_driver_win.h"

namespace sample_walk {

namespace {

struct Search {
    DWORD processId;
    std::initializer_list<WindowKind> kinds;
    HWND previous;
    HWND found = nullptr;
    HWND messageBox = nullptr;  // any message box seen on the way
};

BOOL CALLBACK findWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != s->processId || window == s->previous || !::IsWindowVisible(window)) return TRUE;
    WindowKind kind = kindOf(window);
    if (kind == WindowKind::MessageBox && !s->messageBox) s->messageBox = window;
    for (WindowKind k : s->kinds)
        if (k == kind) {
            s->found = window;
            return FALSE;
        }
    return TRUE;
}

}  // namespace

SetupProcess::SetupProcess(const std::string& program, const std::string& folder) {
    process_ = testing_support::startProgram("\"" + program + "\"", folder, id_);
    if (!process_) throw WalkError("cannot start " + program);
}

SetupProcess::~SetupProcess() {
    if (!process_) return;
    if (running()) ::TerminateProcess(process_, 99);  // a walk that failed half-way
    ::CloseHandle(process_);
}

bool SetupProcess::running() const {
    return ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND SetupProcess::waitFor(std::initializer_list<WindowKind> kinds, HWND previous,
                           const std::string& what) {
    Search s{id_, kinds, previous};
    waitUntil(
        [&] {
            s = Search{id_, kinds, previous};
            ::EnumWindows(findWindow, reinterpret_cast<LPARAM>(&s));
            return s.found || s.messageBox || !running();
        },
        what);
    if (s.found) return s.found;
    // An unexpected message box is the likeliest reason for a missing page: name it.
    if (s.messageBox)
        throw WalkError("waiting for " + what + ", a message box \"" + text(s.messageBox) +
                        "\" says: " + testing_support::messageBoxText(s.messageBox));
    throw WalkError("Setup.exe ended while waiting for " + what);
}

void SetupProcess::waitGone(HWND window, const std::string& what) {
    if (!testing_support::waitForClose(window))
        throw WalkError("timed out waiting for " + what + " to close");
}

DWORD SetupProcess::waitExit(const std::string& what) {
    DWORD code = 0;
    if (!testing_support::waitForExit(process_, code))
        throw WalkError("Setup.exe did not end after " + what);
    return code;
}

WindowKind kindOf(HWND window) {
    char cls[64] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32770") return WindowKind::Other;
    // A message box's text is its static control 0xFFFF.
    if (testing_support::isMessageBox(window)) return WindowKind::MessageBox;
    HWND one = ::GetDlgItem(window, WIZ_NEXT);
    if (one && text(one) == "&Next" && ::GetDlgItem(window, WIZ_BACK)) return WindowKind::Page;
    if (one && text(one) == "OK" && ::GetDlgItem(window, IDCANCEL)) return WindowKind::Splash;
    return WindowKind::Other;
}

std::string text(HWND window) {
    return testing_support::windowText(window);
}

HWND control(HWND page, int id) {
    HWND c = ::GetDlgItem(page, id);
    if (!c) throw WalkError("the page has no control " + std::to_string(id));
    return c;
}

std::vector<std::string> choiceLabels(HWND page) {
    std::vector<std::string> labels;
    for (int id = FIRST_CHOICE_ID; id < FIRST_CHOICE_ID + 20; ++id) {
        HWND c = ::GetDlgItem(page, id);
        if (!c) break;
        labels.push_back(text(c));
    }
    return labels;
}

HWND choice(HWND page, const std::string& label) {
    std::string seen;
    for (int id = FIRST_CHOICE_ID; id < FIRST_CHOICE_ID + 20; ++id) {
        HWND c = ::GetDlgItem(page, id);
        if (!c) break;
        if (text(c) == label) return c;
        seen += " \"" + text(c) + "\"";
    }
    throw WalkError("no choice \"" + label + "\" on the page; it offers" + seen);
}

bool checked(HWND button) {
    return testing_support::isChecked(button);
}

bool visible(HWND page, int id) {
    return testing_support::isVisible(page, id);
}

void press(HWND page, int id) {
    HWND button = control(page, id);
    if (!::IsWindowVisible(button))
        throw WalkError("the button \"" + text(button) + "\" is not shown");
    ::SendNotifyMessageA(button, BM_CLICK, 0, 0);
}

void click(HWND button) {
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

void type(HWND control, char c) {
    ::PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
}

int selectedRow(HWND list) {
    return static_cast<int>(
        ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void waitUntil(const std::function<bool()>& condition, const std::string& what) {
    if (!testing_support::waitUntil(condition)) throw WalkError("timed out waiting for " + what);
}

void screenshot(HWND window, const std::string& path) {
    if (!::IsWindow(window)) throw WalkError("the window to photograph is gone");
    const testing_support::Picture p = testing_support::captureClient(window);
    std::ofstream out(path, std::ios::binary);
    out << testing_support::bmpFile(p.width, p.height, [&](int x, int y) { return p.at(x, y); });
    if (p.pixels.empty() || !out.good()) throw WalkError("cannot save the screenshot " + path);
}

}  // namespace sample_walk
