#pragma once
#include <cstdint>

namespace platform {

// Milliseconds since system start, wrapping at 2^32 like the system tick count.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t tickCount() = 0;
};

Clock& systemClock();

}  // namespace platform
