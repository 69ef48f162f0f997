#pragma once

#include <mutex>
#include <vector>

#include "app/platform/clock.hpp"

namespace corvane::fake {

// Virtual time: sleeping advances the clock at once, so waits and polls cost
// a test nothing. Thread-safe; the desktop queue sleeps on it from its worker.
class FakeClock final : public Clock {
public:
    TimePoint now() override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void sleep(Duration duration) override {
        std::lock_guard lock(mutex_);
        now_ += duration;
        sleeps_.push_back(duration);
    }
    void advance(Duration duration) { sleep(duration); }
    // Seconds since the clock was made.
    double elapsed() {
        std::lock_guard lock(mutex_);
        return now_.time_since_epoch().count();
    }
    std::vector<Duration> sleeps() {
        std::lock_guard lock(mutex_);
        return sleeps_;
    }

private:
    std::mutex mutex_;
    TimePoint now_{};
    std::vector<Duration> sleeps_;
};

}  // namespace corvane::fake
