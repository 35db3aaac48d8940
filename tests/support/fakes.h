#pragma once
// Fakes of the platform services for tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/system.h"

namespace testing_support {

struct RecordedMessage {
    std::string text, caption;
    platform::MessageIcon icon;
};

class RecordingMessageSink : public platform::MessageSink {
public:
    void showMessage(const std::string& text, const std::string& caption,
                     platform::MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    bool askYesNo(const std::string& text, const std::string& caption,
                  platform::MessageIcon icon = platform::MessageIcon::Question) override {
        questions.push_back({text, caption, icon});
        return answer;
    }
    std::vector<RecordedMessage> messages, questions;
    bool answer = true;
};

// Advances by step milliseconds at every reading.
class SteppingClock : public platform::Clock {
public:
    explicit SteppingClock(std::uint32_t start = 1000, std::uint32_t step = 0)
        : now(start), step(step) {}
    std::uint32_t tickCount() override {
        std::uint32_t t = now;
        now += step;
        return t;
    }
    std::uint32_t now, step;
};

// Records what long operations report and clears the proceed byte at the given pump.
class RecordingProgressSink : public platform::ProgressSink {
public:
    struct Event {
        std::string what, text;
        int a = 0, b = 0;
    };
    std::unique_ptr<platform::ProgressDisplay> open(platform::ProceedFlag* proceedFlag,
                                                    bool hideCancel, const std::string& title,
                                                    bool minimized) override;
    bool pumpMessages() override;

    std::vector<Event> events;
    int pumps = 0;
    int cancelAtPump = -1;  // 1-based; -1 never
    platform::ProceedFlag* flag = nullptr;
};

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Writes a file relative to the folder, creating the folders on the way.
    std::filesystem::path write(const std::string& relative, const std::string& content) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& p);
// Writes a file whose folder exists; true when all of it was written.
bool writeFile(const std::filesystem::path& p, const std::string& content);

// A System with the real file system, a recording sink, a stepping clock and no display.
struct FakeSystem {
    RecordingMessageSink messages;
    RecordingProgressSink progress;
    SteppingClock clock;
    platform::System system() {
        return platform::System{&platform::systemFileSystem(), &messages, &progress, &clock};
    }
};

}  // namespace testing_support
