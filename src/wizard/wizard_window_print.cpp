#include <vector>

#include "wizard/wizard_window.h"

namespace {

// rect of the page's client area: what lies there is handed to the control first (the labels
// are transparent), then the control prints its client area over it. Controls take their
// device origin for their own corner, so each prints into a picture of its own.
void printClient(HWND control, HDC dc, const RECT& rect) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    fw::MemoryDc own(::CreateCompatibleDC(dc));
    fw::Bitmap picture(::CreateCompatibleBitmap(dc, w, h));
    if (!own || !picture) return;
    fw::Selection selected(own.get(), picture.get());
    ::BitBlt(own.get(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
    ::SendMessageA(control, WM_PRINT, reinterpret_cast<WPARAM>(own.get()),
                   PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    ::BitBlt(dc, rect.left, rect.top, w, h, own.get(), 0, 0, SRCCOPY);
}

}  // namespace

void WizardWindow::paintInto(HDC dc) {
    onEraseBackground(dc);
    paint(dc);
    std::vector<HWND> controls;  // from the bottom of the z-order up
    for (HWND c = ::GetWindow(::GetWindow(hwnd(), GW_CHILD), GW_HWNDLAST); c;
         c = ::GetWindow(c, GW_HWNDPREV))
        controls.push_back(c);
    for (HWND c : controls) {
        if (!(::GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT outer, inner;
        ::GetWindowRect(c, &outer);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&outer), 2);
        ::GetClientRect(c, &inner);
        ::MapWindowPoints(c, hwnd(), reinterpret_cast<POINT*>(&inner), 2);
        if (inner.left != outer.left || inner.top != outer.top || inner.right != outer.right ||
            inner.bottom != outer.bottom) {
            // A frame or scroll bar is not printed by every system (Wine prints none): it is
            // taken from the control's own surface, which the system keeps off the screen too.
            HDC frame = ::GetWindowDC(c);
            ::BitBlt(dc, outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                     frame, 0, 0, SRCCOPY);
            ::ReleaseDC(c, frame);
        }
        printClient(c, dc, inner);
    }
}

namespace {

// What the page posted to itself while it was made, and the paints of its controls' frames,
// which paintInto copies from their surfaces. Bounded: a page that keeps posting is taken as
// it stands then.
void settle() {
    MSG message;
    for (int i = 0; i < 10000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

bool WizardWindow::paintPicture(PagePicture& picture) {
    if (hwnd()) return false;
    showLater_ = true;
    const bool made = create();
    showLater_ = false;
    if (!made) return false;
    // Shown, so that the system keeps its controls' frames and scroll bars, but wholly
    // transparent, out of the taskbar and never active: nothing of it reaches the screen.
    ::SetWindowLongA(hwnd(), GWL_EXSTYLE,
                     ::GetWindowLongA(hwnd(), GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT |
                         WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    ::SetLayeredWindowAttributes(hwnd(), 0, 0, LWA_ALPHA);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    settle();
    RECT client{};
    if (hwnd()) ::GetClientRect(hwnd(), &client);
    const int w = client.right, h = client.bottom;
    bool painted = false;
    if (w > 0 && h > 0) {
        void* bits = nullptr;
        fw::WindowDc screen(hwnd());
        fw::Bitmap surface(fw::topDownPicture(screen.dc(), w, h, &bits));
        fw::MemoryDc dc(::CreateCompatibleDC(screen.dc()));
        if (surface && dc && bits) {
            {
                fw::Selection selected(dc.get(), surface.get());
                paintInto(dc.get());
                ::GdiFlush();
            }
            const auto* p = static_cast<const std::uint32_t*>(bits);
            picture.width = w;
            picture.height = h;
            picture.pixels.assign(p, p + static_cast<std::size_t>(w) * h);
            for (std::uint32_t& px : picture.pixels) px &= 0xFFFFFF;
            painted = true;
        }
    }
    destroy();
    return painted;
}
