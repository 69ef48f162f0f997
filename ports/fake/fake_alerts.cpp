#include "ports/fake/fake_alerts.hpp"

namespace corvane::fake {

FakeAlerts::FakeAlerts(FakeCallLog& log) : log_(log) {}

void FakeAlerts::showWarning(const std::string& message, const std::string& informative,
                             std::function<void()> closed) {
    log_.record("showWarning " + message);
    std::lock_guard lock(mutex_);
    shown_.push_back({message, informative});
    pending_.push_back(std::move(closed));
}

std::vector<FakeAlerts::Warning> FakeAlerts::shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

std::size_t FakeAlerts::open() const {
    std::lock_guard lock(mutex_);
    return pending_.size();
}

bool FakeAlerts::dismissOldest() {
    std::function<void()> closed;
    {
        std::lock_guard lock(mutex_);
        if (pending_.empty()) return false;
        closed = std::move(pending_.front());
        pending_.erase(pending_.begin());
    }
    // Outside the lock: closing may put up the next warning.
    if (closed) closed();
    return true;
}

void FakeAlerts::dismissAll() {
    while (dismissOldest()) {
    }
}

}  // namespace corvane::fake
