#pragma once
// File helpers of the archive commands.
#include <string>

#include "platform/message_sink.h"

bool readWholeFile(const std::string& path, std::string& out);
bool writeWholeFile(const std::string& path, const std::string& bytes);

// Keeps the last message shown, and still writes it to standard error.
class LastMessageSink : public platform::StderrMessageSink {
  public:
    void showMessage(const std::string& text, const std::string& caption,
                     platform::MessageIcon icon) override {
        last = text;
        StderrMessageSink::showMessage(text, caption, icon);
    }
    std::string last;
};
