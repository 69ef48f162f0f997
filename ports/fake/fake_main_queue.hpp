#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "app/platform/main_queue.hpp"

namespace corvane::fake {

// The main thread's queue as a test sees it: work posted from any thread
// waits until the test (playing the main thread) drains it. runSync from a
// worker blocks until the test drains that item.
class FakeMainQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override {
        {
            std::lock_guard lock(mutex_);
            items_.push_back(std::move(work));
        }
        changed_.notify_all();
    }

    void runSync(std::function<void()> work) override {
        bool done = false;
        post([&] {
            work();
            {
                std::lock_guard lock(mutex_);
                done = true;
            }
            changed_.notify_all();
        });
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done; });
    }

    // Runs everything queued so far and whatever that queues; returns how many ran.
    int drain() {
        int ran = 0;
        while (auto work = take()) {
            work();
            ++ran;
        }
        return ran;
    }

    // Plays the main thread until `done()` holds: runs posted work as it
    // arrives. `done` is checked under no lock of ours.
    void runUntil(const std::function<bool()>& done) {
        while (!done()) {
            if (auto work = take()) {
                work();
                continue;
            }
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(1), [&] { return !items_.empty(); });
        }
        drain();
    }

    // Wakes runUntil when a worker changed something it checks.
    void notify() { changed_.notify_all(); }

private:
    std::function<void()> take() {
        std::lock_guard lock(mutex_);
        if (items_.empty()) return {};
        auto work = std::move(items_.front());
        items_.pop_front();
        return work;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> items_;
};

}  // namespace corvane::fake
