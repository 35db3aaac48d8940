#include <vector>

#include "wizard/wizard_window.h"

// Each control paints into a picture of its own size that starts as what lies beneath it (the
// labels are transparent): controls take their device origin for their own corner.
void WizardWindow::paintInto(HDC dc) {
    onEraseBackground(dc);
    paint(dc);
    std::vector<HWND> controls;  // from the bottom of the z-order up
    for (HWND c = ::GetWindow(::GetWindow(hwnd(), GW_CHILD), GW_HWNDLAST); c;
         c = ::GetWindow(c, GW_HWNDPREV))
        controls.push_back(c);
    for (HWND c : controls) {
        if (!(::GetWindowLongA(c, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r;
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        const int w = r.right - r.left, h = r.bottom - r.top;
        fw::MemoryDc own(::CreateCompatibleDC(dc));
        fw::Bitmap picture(::CreateCompatibleBitmap(dc, w, h));
        if (!own || !picture) continue;
        fw::Selection selected(own.get(), picture.get());
        ::BitBlt(own.get(), 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
        ::SendMessageA(c, WM_PRINT, reinterpret_cast<WPARAM>(own.get()),
                       PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
        ::BitBlt(dc, r.left, r.top, w, h, own.get(), 0, 0, SRCCOPY);
    }
}
