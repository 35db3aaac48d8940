#include "setup_process_win.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>

#include "support/ui_driver_win.h"

namespace sample_walk {

namespace {

constexpr DWORD PAGE_TIMEOUT_MS = 60000;

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
    const DWORD start = ::GetTickCount();
    for (;;) {
        Search s{id_, kinds, previous};
        ::EnumWindows(findWindow, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        // An unexpected message box is the likeliest reason for a missing page: name it.
        if (s.messageBox)
            throw WalkError("waiting for " + what + ", a message box \"" + text(s.messageBox) +
                            "\" says: " + testing_support::messageBoxText(s.messageBox));
        if (!running()) throw WalkError("Setup.exe ended while waiting for " + what);
        if (::GetTickCount() - start > PAGE_TIMEOUT_MS)
            throw WalkError("timed out waiting for " + what);
        ::Sleep(20);
    }
}

void SetupProcess::waitGone(HWND window, const std::string& what) {
    waitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, what + " to close",
              PAGE_TIMEOUT_MS);
}

DWORD SetupProcess::waitExit(const std::string& what) {
    DWORD code = 0;
    if (!testing_support::waitForExit(process_, PAGE_TIMEOUT_MS, code))
        throw WalkError("Setup.exe did not end after " + what);
    return code;
}

WindowKind kindOf(HWND window) {
    char cls[64] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32770") return WindowKind::Other;
    // A message box's text is its static control 0xFFFF.
    if (::GetDlgItem(window, 0xFFFF)) return WindowKind::MessageBox;
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
    return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool visible(HWND page, int id) {
    HWND c = ::GetDlgItem(page, id);
    return c && ::IsWindowVisible(c);
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

void screenshot(HWND window, const std::string& path, DWORD settleMs) {
    // Let the page finish painting, then give the display a moment to show it.
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    ::Sleep(settleMs);  // the display shows what the window drew a little later
    RECT r;
    if (!::GetWindowRect(window, &r)) throw WalkError("the window to photograph is gone");
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP picture = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = picture != nullptr;
    if (ok) {
        HGDIOBJ old = ::SelectObject(memory, picture);
        ok = ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0;
        ::GdiFlush();
        ::SelectObject(memory, old);
    }
    if (ok) {
        const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
        const std::uint32_t size = stride * static_cast<std::uint32_t>(h);
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42;
        head.bfOffBits = sizeof head + sizeof info.bmiHeader;
        head.bfSize = head.bfOffBits + size;
        info.bmiHeader.biSizeImage = size;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ok = f && std::fwrite(&head, sizeof head, 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, 1, size, f) == size;
        if (f && std::fclose(f) != 0) ok = false;
    }
    if (picture) ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!ok) throw WalkError("cannot save the screenshot " + path);
}

}  // namespace sample_walk
