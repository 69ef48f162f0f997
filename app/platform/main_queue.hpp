#pragma once

#include <functional>

namespace corvane {

// The main thread's event loop, reachable from other threads.
class MainQueue {
public:
    virtual ~MainQueue() = default;

    // Runs `work` on the main thread later; never waits. Any thread.
    virtual void post(std::function<void()> work) = 0;
    // Runs `work` on the main thread and returns when it has run. Only from
    // a thread other than the main thread (the main thread never waits on a
    // worker, so this cannot deadlock).
    virtual void runSync(std::function<void()> work) = 0;

protected:
    MainQueue() = default;
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;
};

}  // namespace corvane
