#pragma once
// Where the system's messages go: a message box in Setup.exe, standard error in setuptool,
// a recorder in tests.
#include <string>

namespace platform {

enum class MessageIcon { None, Information, Exclamation, Error, Question };

// The text of a message: format with its first "%s" replaced by argument; other percent signs
// stay as they are.
std::string formatText(const std::string& format, const std::string& argument);

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text, const std::string& caption,
                             MessageIcon icon) = 0;
    // Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption,
                          MessageIcon icon = MessageIcon::Question) = 0;
};

// Writes each message as one line to standard error; questions are answered No.
class StderrMessageSink : public MessageSink {
public:
    void showMessage(const std::string& text, const std::string& caption,
                     MessageIcon icon) override;
    bool askYesNo(const std::string& text, const std::string& caption,
                  MessageIcon icon = MessageIcon::Question) override;
};

}  // namespace platform
