#pragma once

#include <algorithm>
#include <chrono>

namespace corvane::xharness {

// A point in time after which a wait gives up, so that a broken server or
// app fails a test instead of hanging it.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds timeout) : end_(std::chrono::steady_clock::now() + timeout) {}

    bool passed() const { return std::chrono::steady_clock::now() >= end_; }
    // Milliseconds left, at least 0, rounded up so that poll() never spins on a sub-millisecond rest.
    int remainingMs() const {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
    }

private:
    std::chrono::steady_clock::time_point end_;
};

}  // namespace corvane::xharness
