#include "platform/win32/message_box_win.h"
#include "platform/win32/wide_text_win.h"

namespace platform {

namespace {
UINT iconFlags(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return MB_ICONINFORMATION;
        case MessageIcon::Exclamation: return MB_ICONEXCLAMATION;
        case MessageIcon::Error: return MB_ICONHAND;
        case MessageIcon::Question: return MB_ICONQUESTION;
        case MessageIcon::None: break;
    }
    return 0;
}
}  // namespace

void MessageBoxSink::showMessage(const std::string& text, const std::string& caption,
                                 MessageIcon icon) {
    ::MessageBoxW(owner_, win32::wide(text).c_str(), win32::wide(caption).c_str(),
                  MB_OK | iconFlags(icon));
}

bool MessageBoxSink::askYesNo(const std::string& text, const std::string& caption,
                              MessageIcon icon) {
    return ::MessageBoxW(owner_, win32::wide(text).c_str(), win32::wide(caption).c_str(),
                         MB_YESNO | iconFlags(icon)) == IDYES;
}

}  // namespace platform
