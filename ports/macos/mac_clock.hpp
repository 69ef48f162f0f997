#pragma once

#include "app/platform/clock.hpp"

namespace corvane::macos {

// Real time: the monotonic clock (unaffected by changes of the wall clock)
// and a real sleep of the calling thread. Any thread.
class MacClock final : public Clock {
public:
    MacClock() = default;
    TimePoint now() override;
    void sleep(Duration duration) override;
};

}  // namespace corvane::macos
