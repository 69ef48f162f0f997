#include "ports/macos/mac_clock.hpp"

#include <thread>

namespace corvane::macos {

Clock::TimePoint MacClock::now() {
    return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
}

void MacClock::sleep(Duration duration) {
    if (duration > Duration::zero()) std::this_thread::sleep_for(duration);
}

}  // namespace corvane::macos
