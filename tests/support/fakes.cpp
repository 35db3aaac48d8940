#include "support/fakes.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {
class RecordingDisplay : public platform::ProgressDisplay {
public:
    explicit RecordingDisplay(RecordingProgressSink& sink) : sink_(sink) {}
    ~RecordingDisplay() override { sink_.events.push_back({"close", "", 0, 0}); }
    void setText(const std::string& text, int low, int high) override {
        sink_.events.push_back({"text", text, low, high});
    }
    void setPos(int pos) override { sink_.events.push_back({"pos", "", pos, 0}); }

private:
    RecordingProgressSink& sink_;
};
}  // namespace

std::unique_ptr<platform::ProgressDisplay> RecordingProgressSink::open(
    platform::ProceedFlag* proceedFlag, bool hideCancel, const std::string& title, bool minimized) {
    flag = proceedFlag;
    events.push_back({"open", title, hideCancel ? 1 : 0, minimized ? 1 : 0});
    return std::make_unique<RecordingDisplay>(*this);
}

bool RecordingProgressSink::pumpMessages() {
    ++pumps;
    events.push_back({"pump", "", pumps, 0});
    if (pumps == cancelAtPump && flag) *flag = 0;
    return true;
}

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ = std::filesystem::temp_directory_path() /
                ("setup-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(path_)) break;
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path ScratchDir::write(const std::string& relative,
                                        const std::string& content) const {
    std::filesystem::path p = path_ / relative;
    std::filesystem::create_directories(p.parent_path());
    writeFile(p, content);
    return p;
}

bool writeFile(const std::filesystem::path& p, const std::string& content) {
    std::ofstream out(p, std::ios::binary);
    out << content;
    return static_cast<bool>(out.flush());
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace testing_support
