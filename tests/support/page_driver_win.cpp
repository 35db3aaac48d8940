#include "support/page_driver_win.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "support/png_writer.h"

namespace testing_support {

namespace {

bool isDialog(HWND window) {
    char cls[16] = "";
    return ::GetClassNameA(window, cls, sizeof cls) && std::string(cls) == "#32770";
}

struct ThreadSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK findOwnedDialog(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<ThreadSearch*>(param);
    if (::IsWindowVisible(window) && isDialog(window) &&
        ::GetWindow(window, GW_OWNER) == s->owner) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findOwned(DWORD thread, HWND owner) {
    ThreadSearch s{owner};
    ::EnumThreadWindows(thread, findOwnedDialog, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void send(std::vector<INPUT>& inputs) {
    if (!inputs.empty())
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT keyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

INPUT mouseInput(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    return in;
}

// Input goes to the foreground window. A page made foreground only now is activated by
// messages its thread handles later, and on activation a dialog puts the focus back where it
// was: input sent before that could have its effect on the focus undone. So this waits until
// the page is the foreground window and its thread has had time for those messages.
void bringToFront(HWND window) {
    HWND root = ::GetAncestor(window, GA_ROOT);
    if (!root || ::GetForegroundWindow() == root) return;
    ::SetForegroundWindow(root);
    const DWORD start = ::GetTickCount();
    while (::GetForegroundWindow() != root && ::GetTickCount() - start < UI_TIMEOUT_MS)
        ::Sleep(10);  // polling interval
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(root, WM_NULL, 0, 0, SMTO_BLOCK, UI_TIMEOUT_MS, &ignored);
    ::Sleep(100);  // the posted activation messages come after the sent one
}

}  // namespace

int PageDriver::run(const std::function<int()>& show,
                    const std::function<void(PageDriver&)>& script) {
    PageDriver driver;
    driver.guiThread_ = ::GetCurrentThreadId();
    std::thread worker([&driver, &script] {
        try {
            script(driver);
        } catch (const std::exception&) {
        }
        // Whatever the script left open is closed, so that show() returns.
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < UI_TIMEOUT_MS) {
            HWND page = findOwned(driver.guiThread_, nullptr);
            if (!page) break;
            if (HWND box = findOwned(driver.guiThread_, page)) {
                ::PostMessageA(box, WM_COMMAND, IDYES, 0);
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            } else {
                ::PostMessageA(page, WM_CLOSE, 0, 0);
            }
            ::Sleep(100);  // polling interval
        }
    });
    int result = show();
    worker.join();
    return result;
}

bool PageDriver::waitUntil(const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > UI_TIMEOUT_MS) return false;
        ::Sleep(20);  // polling interval, not a wait for an outcome
    }
    return true;
}

// A window shows itself while it initialises; it is ready once its thread is back in its
// message loop and answers.
HWND PageDriver::waitForReady(HWND owner) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findOwned(guiThread_, owner)) != nullptr; });
    DWORD_PTR ignored;
    if (found) ::SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_BLOCK, UI_TIMEOUT_MS, &ignored);
    return found;
}

HWND PageDriver::waitForPage() {
    return waitForReady(nullptr);
}

HWND PageDriver::waitForOwned(HWND owner) {
    return waitForReady(owner);
}

bool PageDriver::waitForClose(HWND window) {
    return waitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); });
}

void PageDriver::click(HWND control) {
    if (control) ::PostMessageA(control, BM_CLICK, 0, 0);
}

void PageDriver::key(WORD vk, bool shift, bool control, bool alt) {
    HWND f = focused();
    if (f) bringToFront(f);
    std::vector<INPUT> in;
    if (shift) in.push_back(keyInput(VK_SHIFT, false));
    if (control) in.push_back(keyInput(VK_CONTROL, false));
    if (alt) in.push_back(keyInput(VK_MENU, false));
    in.push_back(keyInput(vk, false));
    in.push_back(keyInput(vk, true));
    if (alt) in.push_back(keyInput(VK_MENU, true));
    if (control) in.push_back(keyInput(VK_CONTROL, true));
    if (shift) in.push_back(keyInput(VK_SHIFT, true));
    send(in);
}

void PageDriver::type(const std::string& text) {
    for (char c : text) {
        SHORT scan = ::VkKeyScanA(c);
        key(static_cast<WORD>(scan & 0xFF), (scan >> 8) & 1);
    }
}

void PageDriver::mouseClick(HWND window, POINT p, bool twice, bool shift) {
    bringToFront(window);
    ::ClientToScreen(window, &p);
    ::SetCursorPos(p.x, p.y);
    std::vector<INPUT> in;
    if (shift) in.push_back(keyInput(VK_SHIFT, false));
    for (int i = 0; i < (twice ? 2 : 1); ++i) {
        in.push_back(mouseInput(MOUSEEVENTF_LEFTDOWN));
        in.push_back(mouseInput(MOUSEEVENTF_LEFTUP));
    }
    if (shift) in.push_back(keyInput(VK_SHIFT, true));
    send(in);
}

void PageDriver::mouseDrag(HWND window, POINT from, POINT to) {
    bringToFront(window);
    ::ClientToScreen(window, &from);
    ::ClientToScreen(window, &to);
    ::SetCursorPos(from.x, from.y);
    std::vector<INPUT> in{mouseInput(MOUSEEVENTF_LEFTDOWN)};
    send(in);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
        ::Sleep(20);  // lets the move loop see each step
        ::SetCursorPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
        in = {mouseInput(MOUSEEVENTF_MOVE)};
        send(in);
    }
    in = {mouseInput(MOUSEEVENTF_LEFTUP)};
    send(in);
}

void PageDriver::focus(HWND dialog, HWND control) {
    ::PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    waitUntil([&] { return focused() == control; });
}

HWND PageDriver::focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(guiThread_, &info) ? info.hwndFocus : nullptr;
}

bool PageDriver::visible(HWND control) const {
    return control && ::IsWindowVisible(control);
}

bool PageDriver::checked(HWND control) const {
    return ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

RECT PageDriver::childRect(HWND child) const {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::uint32_t PageDriver::pixel(HWND window, int x, int y) const {
    // Lets the window finish painting first.
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, UI_TIMEOUT_MS, &ignored);
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    HDC screen = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

std::string PageDriver::screenshot(HWND window, const std::string& name) const {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    if (!::GetWindowRect(window, &r)) return {};
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP dib = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string path;
    if (dib) {
        HGDIOBJ old = ::SelectObject(memory, dib);
        ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ::GdiFlush();
        const auto* px = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> pixels(px, px + static_cast<std::size_t>(w) * h);
        for (auto& p : pixels) p &= 0xFFFFFF;
        ::SelectObject(memory, old);
        ::DeleteObject(dib);
        std::filesystem::path folder =
            std::filesystem::current_path().parent_path() / "test-artifacts";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        std::filesystem::path file = folder / (name + ".png");
        std::ofstream out(file, std::ios::binary);
        std::string png = pngFile(w, h, pixels);
        if (out.write(png.data(), static_cast<std::streamsize>(png.size()))) path = file.string();
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return path;
}

}  // namespace testing_support
