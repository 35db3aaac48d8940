#include "support/ui_driver_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <cctype>
#include <fstream>
#include <utility>

#include "resource.h"
#include "support/dialog_template_win.h"
#include "support/png_writer.h"

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

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return condition();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        // Polling interval, not a wait for an outcome.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// --- Finding windows ---

WindowQuery WindowQuery::fromTemplate(DWORD processId, int templateId) {
    WindowQuery q;
    q.processId = processId;
    q.className = "#32770";
    if (auto t = readDialogTemplate(templateId)) {
        q.styleMask = WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU;
        q.style = t->style & q.styleMask;
        q.exStyleMask = WS_EX_APPWINDOW;
        q.exStyle = t->exStyle & q.exStyleMask;
        for (const TemplateItem& item : t->items)
            if (item.id != 0xFFFF && item.id != -1) q.controls.push_back(item.id);
    } else {
        q.className = "no such template";
    }
    return q;
}

namespace {
struct Search {
    const WindowQuery* query;
    DWORD processId;
    std::vector<HWND> found;
};

bool matches(HWND window, const WindowQuery& q, DWORD processId) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != processId || !::IsWindowVisible(window)) return false;
    char cls[256] = "";
    ::GetClassNameA(window, cls, sizeof cls);
    if (!q.className.empty() && ::lstrcmpiA(cls, q.className.c_str()) != 0) return false;
    if (!q.title.empty() && windowText(window) != q.title) return false;
    if ((static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)) & q.styleMask) != q.style)
        return false;
    if ((static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE)) & q.exStyleMask) != q.exStyle)
        return false;
    for (int id : q.controls)
        if (!::GetDlgItem(window, id)) return false;
    return true;
}

BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (matches(window, *s->query, s->processId)) s->found.push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> findWindows(const WindowQuery& query) {
    Search s{&query, query.processId ? query.processId : ::GetCurrentProcessId(), {}};
    ::EnumWindows(collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND waitForWindow(const WindowQuery& query, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            auto all = findWindows(query);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND waitForDialog(DWORD processId, DWORD timeoutMs) {
    WindowQuery q;
    q.processId = processId;
    q.className = "#32770";
    return waitForWindow(q, timeoutMs);
}

// --- Reading ---

HWND waitForWizardPage(DWORD processId, DWORD timeoutMs) {
    WindowQuery q;
    q.processId = processId;
    q.className = "#32770";
    q.controls = {WIZ_BACK, WIZ_FINISH};
    return waitForWindow(q, timeoutMs);
}

bool finishNoPlatformPage(DWORD processId, DWORD timeoutMs) {
    HWND page = waitForWizardPage(processId, timeoutMs);
    if (!page) return false;
    clickButton(page, WIZ_FINISH);
    return true;
}

std::string windowText(HWND window) {
    char buf[4096] = "";
    ::SendMessageA(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string controlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control ? windowText(control) : "";
}

std::string messageBoxText(HWND box) {
    // The message of a message box is its static control with id 0xFFFF.
    return controlText(box, 0xFFFF);
}

bool isChecked(HWND dialog, int id) {
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isVisible(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control && ::IsWindowVisible(control);
}

HWND focusedControl(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

int focusedId(HWND window) {
    HWND focus = focusedControl(window);
    return focus ? ::GetDlgCtrlID(focus) : 0;
}

std::vector<ListRow> listRows(HWND list) {
    std::vector<ListRow> rows;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    const bool own = pid == ::GetCurrentProcessId();
    HANDLE process =
        own ? ::GetCurrentProcess()
            : ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return rows;
    // The list writes the text into memory of its own process.
    constexpr int TEXT_SIZE = 1024;
    auto* remote = static_cast<char*>(::VirtualAllocEx(
        process, nullptr, sizeof(LVITEMA) + TEXT_SIZE, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LVITEMA item{};
            item.pszText = remote + sizeof item;
            item.cchTextMax = TEXT_SIZE;
            char text[TEXT_SIZE] = "";
            if (::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
                ::SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote)) >= 0)
                ::ReadProcessMemory(process, remote + sizeof item, text, TEXT_SIZE - 1, nullptr);
            text[TEXT_SIZE - 1] = '\0';
            UINT state = static_cast<UINT>(
                ::SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED));
            rows.push_back({text, (state & LVIS_SELECTED) != 0, (state & LVIS_FOCUSED) != 0});
        }
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    if (!own) ::CloseHandle(process);
    return rows;
}

// --- Acting ---

void clickButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    if (button) ::PostMessageA(button, BM_CLICK, 0, 0);
}

namespace {
HWND keyTarget(HWND window) {
    HWND focus = focusedControl(window);
    return focus ? focus : window;
}

LPARAM keyFlags(UINT virtualKey) {
    return 1 | static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
}
}  // namespace

void pressKey(HWND window, UINT virtualKey) {
    HWND target = keyTarget(window);
    ::PostMessageA(target, WM_KEYDOWN, virtualKey, keyFlags(virtualKey));
    ::PostMessageA(target, WM_KEYUP, virtualKey, keyFlags(virtualKey) | 0xC0000000);
}

void typeText(HWND window, const std::string& text) {
    HWND target = keyTarget(window);
    for (unsigned char c : text) ::PostMessageA(target, WM_CHAR, c, 1);
}

void pressAlt(HWND window, char mnemonic) {
    constexpr LPARAM ALT_DOWN = 1 << 29;
    ::PostMessageA(keyTarget(window), WM_SYSCHAR,
                   static_cast<WPARAM>(std::tolower(static_cast<unsigned char>(mnemonic))),
                   1 | ALT_DOWN);
}

namespace {
void sendMouse(DWORD flags, POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    // Rounded up, so that both ways of scaling back (x * w / 65536 truncated, or rounded
    // with 65535) give the pixel again.
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + w - 1) / w);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + h - 1) / h);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    ::SendInput(1, &input, sizeof input);
}
}  // namespace

bool dragWindow(HWND window, POINT clientPoint, int dx, int dy, DWORD timeoutMs) {
    RECT before;
    ::GetWindowRect(window, &before);
    POINT p = clientPoint;
    ::ClientToScreen(window, &p);
    sendMouse(0, p);
    sendMouse(MOUSEEVENTF_LEFTDOWN, p);
    constexpr int STEPS = 8;
    for (int k = 1; k <= STEPS; ++k) {
        sendMouse(0, POINT{p.x + dx * k / STEPS, p.y + dy * k / STEPS});
        ::Sleep(15);  // lets the window's move loop see each step, not the outcome
    }
    sendMouse(MOUSEEVENTF_LEFTUP, POINT{p.x + dx, p.y + dy});
    // Done when the window is in place and its thread has left the move loop: a key sent while
    // the loop still runs would end the move instead of reaching the window.
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return waitUntil(
        [&] {
            RECT now;
            ::GetWindowRect(window, &now);
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            return now.left == before.left + dx && now.top == before.top + dy &&
                   ::GetGUIThreadInfo(thread, &gui) && !(gui.flags & GUI_INMOVESIZE) &&
                   !gui.hwndCapture;
        },
        timeoutMs);
}

// --- Looking ---

namespace {
// Copies a w x h area of a surface at (x, y).
Picture copyArea(HDC source, int x, int y, int w, int h) {
    Picture picture;
    HDC memory = ::CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        HGDIOBJ previous = ::SelectObject(memory, dib);
        ::BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY);
        ::GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        picture.width = w;
        picture.height = h;
        picture.pixels.assign(p, p + static_cast<std::size_t>(w) * h);
        for (auto& px : picture.pixels) px &= 0xFFFFFF;
        ::SelectObject(memory, previous);
        ::DeleteObject(dib);
    }
    ::DeleteDC(memory);
    return picture;
}

BOOL CALLBACK notePendingPaint(HWND child, LPARAM pending) {
    if (!::IsWindowVisible(child) || !::GetUpdateRect(child, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(pending) = true;
    return FALSE;
}

// True while the window or a visible child still waits for its thread to paint it.
bool paintPending(HWND window) {
    bool pending = ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!pending) ::EnumChildWindows(window, notePendingPaint, reinterpret_cast<LPARAM>(&pending));
    return pending;
}

// Once nothing waits to be painted, the window's thread may still be in its last paint; a
// message sent to it is answered only after that.
void waitForPainting(HWND window) {
    waitUntil([&] { return !paintPending(window); }, 2000);
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, &ignored);
}
}  // namespace

Picture captureClient(HWND window) {
    RECT client;
    if (!::GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return {};
    const int w = client.right, h = client.bottom;
    // Whatever is pending is painted first, by the window's own thread.
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    waitForPainting(window);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == ::GetCurrentProcessId()) {
        // Our own windows: read what was painted, not what has reached the screen yet.
        HDC dc = ::GetDC(window);
        Picture picture = copyArea(dc, 0, 0, w, h);
        ::ReleaseDC(window, dc);
        return picture;
    }
    // Another process's: from the screen, once two looks in a row agree (the painting reaches
    // the screen a little later).
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    HDC screen = ::GetDC(nullptr);
    Picture last = copyArea(screen, origin.x, origin.y, w, h), now;
    waitUntil(
        [&] {
            now = copyArea(screen, origin.x, origin.y, w, h);
            return std::exchange(last, now).pixels == now.pixels;
        },
        5000);
    ::ReleaseDC(nullptr, screen);
    return now;
}

namespace {
BOOL CALLBACK findIconControl(HWND child, LPARAM found) {
    if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// A system icon drawn as a static control draws it: at its top left, over the background.
Picture drawnIcon(LPCSTR id, int w, int h, std::uint32_t background) {
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP surface = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, surface);
    HBRUSH brush =
        ::CreateSolidBrush(RGB(background >> 16, (background >> 8) & 0xFF, background & 0xFF));
    RECT all{0, 0, w, h};
    ::FillRect(memory, &all, brush);
    ::DeleteObject(brush);
    ::DrawIconEx(memory, 0, 0, ::LoadIconA(nullptr, id), w, h, 0, nullptr, DI_NORMAL);
    Picture picture = copyArea(memory, 0, 0, w, h);
    ::SelectObject(memory, previous);
    ::DeleteObject(surface);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return picture;
}
}  // namespace

std::string messageBoxIcon(HWND box) {
    HWND control = nullptr;
    ::EnumChildWindows(box, findIconControl, reinterpret_cast<LPARAM>(&control));
    if (!control || !::IsWindowVisible(control) || !::SendMessageA(control, STM_GETICON, 0, 0))
        return "none";
    Picture shown = captureClient(control);
    if (shown.pixels.empty()) return "other";
    // The corners of the system icons are transparent: the top left pixel is the background.
    const std::uint32_t background = shown.at(0, 0);
    const std::pair<LPCSTR, const char*> icons[] = {{IDI_EXCLAMATION, "exclamation"},
                                                    {IDI_QUESTION, "question"},
                                                    {IDI_ASTERISK, "information"},
                                                    {IDI_HAND, "error"}};
    for (const auto& [id, name] : icons)
        if (drawnIcon(id, shown.width, shown.height, background).pixels == shown.pixels)
            return name;
    return "other";
}

std::string saveScreenshot(HWND window, const std::string& state) {
    Picture picture = captureClient(window);
    if (picture.pixels.empty()) return "";
    // build/<preset>/bin/ -> build/test-artifacts/
    std::string folder = ownFolder() + "..\\..\\test-artifacts\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    std::string name = "screenshot";
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
        name = std::string(test->test_suite_name()) + "." + test->name();
    name += "-" + state + ".png";
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ':' || c == ' ') c = '_';
    std::ofstream out(folder + name, std::ios::binary);
    out << pngFile(picture.width, picture.height, picture.pixels);
    return out.good() ? folder + name : "";
}

}  // namespace testing_support
