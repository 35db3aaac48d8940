#pragma once
#include <windows.h>

#include "platform/message_sink.h"

namespace platform {

// Message boxes owned by a window (or none), with OK or Yes/No buttons.
class MessageBoxSink : public MessageSink {
public:
    explicit MessageBoxSink(HWND owner = nullptr) : owner_(owner) {}
    void setOwner(HWND owner) { owner_ = owner; }
    HWND owner() const { return owner_; }
    void showMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& caption,
                  MessageIcon icon = MessageIcon::Question) override;

private:
    HWND owner_;
};

}  // namespace platform
