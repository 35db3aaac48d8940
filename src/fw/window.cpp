#include "fw/window.h"

#include "fw/dpi.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include <commctrl.h>

#include "fw/accessible.h"
#include "platform/win32/wide_text_win.h"

namespace fw {

namespace {
// The object bound to a window, and the procedure the window had before ours (none for our
// own classes). Kept in the process, not as window properties: every message looks its window
// up, and Wine answers each property from its server.
struct Link {
    Window* window = nullptr;
    WNDPROC previous = nullptr;
};
std::mutex linksLock;
std::unordered_map<HWND, Link>& links() {
    static auto* table = new std::unordered_map<HWND, Link>;  // outlives every window
    return *table;
}
Link linkOf(HWND window) {
    std::lock_guard<std::mutex> lock(linksLock);
    auto it = links().find(window);
    return it == links().end() ? Link{} : it->second;
}
void setLink(HWND window, const Link& link) {
    std::lock_guard<std::mutex> lock(linksLock);
    if (link.window || link.previous)
        links()[window] = link;
    else
        links().erase(window);
}

// The window a CreationScope waits for on this thread.
struct PendingCreation {
    Window* window = nullptr;
    const char* className = nullptr;
    HHOOK* hook = nullptr;  // the scope's hook, removed once its window is bound
};
thread_local PendingCreation pending;

HINSTANCE ownInstance() {
    return ::GetModuleHandleA(nullptr);
}
}  // namespace

Window::Window() = default;

Window::~Window() {
    if (!hwnd_) return;
    HWND window = std::exchange(hwnd_, nullptr);
    // From here on the window's messages go to its previous procedure, never to this object.
    setLink(window, {nullptr, previous_});
    if (owned_) {
        ::DestroyWindow(window);
    } else if (previous_ && ::GetWindowLongPtrW(window, GWLP_WNDPROC) ==
                                reinterpret_cast<LONG_PTR>(&Window::windowProc)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        setLink(window, {});
    }
}

bool Window::create(const char* className, const char* title, DWORD style, const RECT& rect,
                    HWND parent, int id, DWORD exStyle) {
    if (hwnd_) return false;
    const std::wstring wideClass = platform::win32::wide(className);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(ownInstance(), wideClass.c_str(), &wc)) {
        wc.lpfnWndProc = &Window::windowProc;
        wc.hInstance = ownInstance();
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = wideClass.c_str();
        if (!::RegisterClassExW(&wc)) return false;
    }
    CreationScope scope(this, className);
    owned_ = true;
    HMENU menu = style & WS_CHILD ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    ::CreateWindowExW(exStyle, wideClass.c_str(), platform::win32::wide(title ? title : "").c_str(),
                      style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                      parent, menu, ownInstance(), nullptr);
    return hwnd_ != nullptr;
}

bool Window::attach(HWND window) {
    if (hwnd_ || !window || fromHandle(window)) return false;
    owned_ = false;
    bind(window);
    return true;
}

void Window::destroy() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

Window* Window::fromHandle(HWND window) {
    return window ? linkOf(window).window : nullptr;
}

void Window::setAccessible(const AccessibleFacts& facts) {
    accessible_ = std::make_unique<AccessibleFacts>(facts);
}

namespace {
// Attached to a control only to answer WM_GETOBJECT: every other message goes straight to the
// control's own procedure (its timers, paint and keys are its own).
class Teller : public Window {
protected:
    std::optional<LRESULT> onMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETOBJECT) return std::nullopt;
        return defaultProc(message, wParam, lParam);
    }
};
}  // namespace

std::unique_ptr<Window> Window::describe(HWND control, const AccessibleFacts& facts) {
    auto teller = std::make_unique<Teller>();
    if (!teller->attach(control)) return nullptr;
    teller->setAccessible(facts);
    return teller;
}

LRESULT Window::defaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return previous_ ? ::CallWindowProcW(previous_, hwnd_, message, wParam, lParam)
                     : ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

// A list's wide text request that the handler left unanswered is asked again in the ANSI form,
// for handlers written for it; its answer comes back through the ANSI code page.
std::optional<LRESULT> Window::askAnsiText(const NMHDR& header) {
    if (header.code != LVN_GETDISPINFOW) return std::nullopt;
    auto& wide = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header));
    if (!(wide.item.mask & LVIF_TEXT) || !wide.item.pszText || wide.item.cchTextMax <= 0)
        return std::nullopt;
    std::string buffer(static_cast<std::size_t>(wide.item.cchTextMax) * 2, '\0');
    NMLVDISPINFOA ansi{};
    ansi.hdr = header;
    ansi.hdr.code = LVN_GETDISPINFOA;
    ansi.item.mask = wide.item.mask;
    ansi.item.iItem = wide.item.iItem;
    ansi.item.iSubItem = wide.item.iSubItem;
    ansi.item.lParam = wide.item.lParam;
    ansi.item.pszText = buffer.data();
    ansi.item.cchTextMax = static_cast<int>(buffer.size());
    std::optional<LRESULT> answer = onNotify(ansi.hdr);
    if (!answer) return std::nullopt;
    int n = ::MultiByteToWideChar(CP_ACP, 0, buffer.c_str(), -1, wide.item.pszText,
                                  wide.item.cchTextMax);
    if (n <= 0) wide.item.pszText[0] = L'\0';
    wide.item.pszText[wide.item.cchTextMax - 1] = L'\0';
    return answer;
}

std::optional<LRESULT> Window::onMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto answer = onMessage(message, wParam, lParam)) return *answer;
    switch (message) {
        case WM_CREATE: {
            LRESULT result = defaultProc(message, wParam, lParam);
            if (result == -1) return -1;
            return onCreate(*reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? result : -1;
        }
        case WM_DESTROY: onDestroy(); break;
        case WM_PAINT:
            if (onPaint()) return 0;
            break;
        case WM_ERASEBKGND:
            if (onEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case WM_COMMAND:
            if (onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
            break;
        case WM_NOTIFY: {
            const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
            Window* control = fromHandle(header.hwndFrom);
            if (control && control != this)
                if (auto answer = control->onReflectedNotify(header)) return *answer;
            if (auto answer = onNotify(header)) return *answer;
            if (auto answer = askAnsiText(header)) return *answer;
            break;
        }
        case WM_TIMER:
            if (lParam) break;  // a timer with a procedure of its own
            onTimer(wParam);
            return 0;
        case WM_NCHITTEST: {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (auto answer = onHitTest(p)) return *answer;
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            bool done = message == WM_LBUTTONDOWN ? onLButtonDown(p, wParam)
                        : message == WM_LBUTTONUP ? onLButtonUp(p, wParam)
                                                  : onMouseMove(p, wParam);
            if (done) return 0;
            break;
        }
        case WM_GETOBJECT:
            if (accessible_)
                if (auto answer = answerObjectRequest(hwnd_, wParam, lParam, *accessible_))
                    return *answer;
            break;
        case WM_KEYDOWN:
            if (onKeyDown(static_cast<UINT>(wParam), lParam)) return 0;
            break;
        case WM_CLOSE:
            if (onClose()) return 0;
            break;
        case WM_ACTIVATEAPP: onActivateApp(wParam != 0); break;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            HWND child = reinterpret_cast<HWND>(lParam);
            Window* control = fromHandle(child);
            if (control && control != this)
                if (HBRUSH brush = control->onReflectedCtlColor(dc, message))
                    return reinterpret_cast<LRESULT>(brush);
            if (HBRUSH brush = onCtlColor(dc, child, message))
                return reinterpret_cast<LRESULT>(brush);
            break;
        }
        case WM_DPICHANGED:
            if (onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam))) return 0;
            break;
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            Window* control = draw.CtlType == ODT_MENU ? nullptr : fromHandle(draw.hwndItem);
            if (control && control != this && control->onReflectedDrawItem(draw)) return TRUE;
            if (onDrawItem(draw)) return TRUE;
            break;
        }
    }
    return defaultProc(message, wParam, lParam);
}

LRESULT CALLBACK Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = fromHandle(window);
    if (!self) {
        WNDPROC previous = linkOf(window).previous;
        if (message == WM_NCDESTROY) setLink(window, {});
        return previous ? ::CallWindowProcW(previous, window, message, wParam, lParam)
                        : ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        LRESULT result = self->defaultProc(message, wParam, lParam);
        self->unbind();
        return result;
    }
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        // Declined; a window whose creation threw is not created.
        try {
            self->onUnhandledException();
        } catch (...) {
        }
        return message == WM_CREATE ? -1 : 0;
    }
}

void Window::bind(HWND window) {
    hwnd_ = window;
    auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current != &Window::windowProc) previous_ = current;
    setLink(window, {this, previous_});
    if (current != &Window::windowProc)
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::windowProc));
}

void Window::unbind() {
    setLink(hwnd_, {});
    hwnd_ = nullptr;
    previous_ = nullptr;
}

Window::CreationScope::CreationScope(Window* window, const char* className)
    : saved_(pending.window), savedClass_(pending.className), savedHook_(pending.hook) {
    pending.window = window;
    pending.className = className;
    pending.hook = &hook_;
    hook_ = ::SetWindowsHookExW(WH_CBT, &Window::creationHook, nullptr, ::GetCurrentThreadId());
}

Window::CreationScope::~CreationScope() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
    pending.window = saved_;
    pending.className = savedClass_;
    pending.hook = savedHook_;
}

LRESULT CALLBACK Window::creationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && pending.window) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char cls[64] = "";
        ::GetClassNameA(window, cls, sizeof cls);
        // Only the awaited window: not a helper window the system makes on the way.
        if (::lstrcmpiA(cls, pending.className) == 0) {
            std::exchange(pending.window, nullptr)->bind(window);
            // The controls a dialog makes while it starts would each pass through the hook
            // (under Wine, three calls to its server a window).
            if (pending.hook && *pending.hook)
                ::UnhookWindowsHookEx(std::exchange(*pending.hook, nullptr));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace fw
