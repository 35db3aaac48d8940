#pragma once
#include <string>

#include "platform/message_sink.h"
#include "progress_output.h"

// Keeps the last message shown, for the JSON result, and still writes it to standard error,
// on a line of its own after the progress line, if any.
class LastMessageSink : public platform::StderrMessageSink {
public:
    void showMessage(const std::string& text, const std::string& caption,
                     platform::MessageIcon icon) override {
        last = text;
        if (progress) progress->finish();
        StderrMessageSink::showMessage(text, caption, icon);
    }
    std::string last;
    StderrProgress* progress = nullptr;
};
