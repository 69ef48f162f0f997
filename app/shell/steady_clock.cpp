#include "app/shell/steady_clock.hpp"

#include <thread>

namespace corvane {

Clock::TimePoint SteadyClock::now() {
    return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
}

void SteadyClock::sleep(Duration duration) {
    if (duration > Duration::zero()) std::this_thread::sleep_for(duration);
}

}  // namespace corvane
