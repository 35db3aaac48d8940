#pragma once
// Setup.exe's messages: boxes in a normal run; in preview mode nobody is there to close a box,
// so each message is printed instead, on the console and in preview\findings.txt.
#include <mutex>
#include <string>

#include "platform/win32/message_box_win.h"

inline constexpr const char* PREVIEW_FOLDER = "preview";

// Writes bytes to a relative path, making its folders; false when it cannot be written.
bool writePreviewFile(const std::string& path, const std::string& bytes);

class SetupMessages : public platform::MessageBoxSink {
public:
    void printInstead() { printing_ = true; }
    bool printing() const { return printing_; }

    void showMessage(const std::string& text, const std::string& caption,
                     platform::MessageIcon icon) override;
    // Printed, and answered No: the preview ends nothing and installs nothing.
    bool askYesNo(const std::string& text, const std::string& caption,
                  platform::MessageIcon icon = platform::MessageIcon::Question) override;

    // lines (each ending in a line break) to the console and after everything printed
    // so far in preview\findings.txt.
    void print(const std::string& lines);
    // Whether a message was printed instead of shown.
    bool printedMessages() const { return messages_; }

private:
    std::mutex lock_;
    bool printing_ = false;
    bool messages_ = false;
    std::string printed_;
};
