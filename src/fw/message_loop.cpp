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
    if (root && isDialog(root) && ::IsDialogMessageW(root, &msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool pumpMessage(int& quitCode) {
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
        quitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return false;
    }
    dispatchMessage(msg);
    return true;
}

}  // namespace fw
