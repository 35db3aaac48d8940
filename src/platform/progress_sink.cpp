#include "platform/progress_sink.h"

namespace platform {

namespace {
class NullDisplay : public ProgressDisplay {
public:
    void setText(const std::string&, int, int) override {}
    void setPos(int) override {}
};
}  // namespace

std::unique_ptr<ProgressDisplay> NullProgressSink::open(ProceedFlag*, bool, const std::string&,
                                                        bool) {
    return std::make_unique<NullDisplay>();
}

}  // namespace platform
