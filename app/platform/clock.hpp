#pragma once

#include <chrono>

namespace corvane {

// Time, injectable so that waits and polls cost tests no real time. Any thread.
class Clock {
public:
    using Duration = std::chrono::duration<double>;  // seconds
    using TimePoint = std::chrono::time_point<std::chrono::steady_clock, Duration>;

    virtual ~Clock() = default;

    virtual TimePoint now() = 0;
    // Blocks the calling thread for `duration`.
    virtual void sleep(Duration duration) = 0;

protected:
    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
};

}  // namespace corvane
