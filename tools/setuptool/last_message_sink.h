#pragma once
#include <string>

#include "platform/message_sink.h"

// Keeps the last message shown, for the JSON result, and still writes it to standard error.
class LastMessageSink : public platform::StderrMessageSink {
public:
    void showMessage(const std::string& text, const std::string& caption,
                     platform::MessageIcon icon) override {
        last = text;
        StderrMessageSink::showMessage(text, caption, icon);
    }
    std::string last;
};
