#include <ctime>

#include "platform/clock.h"

namespace platform {
namespace {
class MonotonicClock : public Clock {
public:
    std::uint32_t tickCount() override {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                          static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
    }
};
}  // namespace

Clock& systemClock() {
    static MonotonicClock clock;
    return clock;
}

}  // namespace platform
