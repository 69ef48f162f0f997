#pragma once

#include "app/platform/clock.hpp"

namespace corvane {

// Real time: the monotonic clock and a real sleep. Any thread.
class SteadyClock final : public Clock {
public:
    SteadyClock() = default;
    TimePoint now() override;
    void sleep(Duration duration) override;
};

}  // namespace corvane
