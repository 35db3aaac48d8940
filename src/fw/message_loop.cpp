#include "fw/message_loop.h"

namespace fw {

namespace {
bool isDialog(HWND window) {
    char cls[16] = "";
    return ::GetClassNameA(window, cls, sizeof cls) && ::lstrcmpA(cls, "#32770") == 0;
}
}  // namespace

void dispatchMessage(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && isDialog(root) && ::IsDialogMessageA(root, &msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

int runMessageLoop() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        dispatchMessage(msg);
    }
}

}  // namespace fw
