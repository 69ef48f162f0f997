#pragma once

#include <memory>

#include "app/platform/main_queue.hpp"

namespace corvane::macos {

// The main dispatch queue, which the Cocoa run loop (driven by Qt) drains.
//
// runSync waits like a synchronous dispatch, with one difference: close()
// (called once the event loop has ended, before the desktop queue is
// joined) releases every waiting worker without running its work, so that
// shutting down can never deadlock on a worker waiting for a main thread
// that no longer turns.
class MacMainQueue final : public MainQueue {
public:
    MacMainQueue();
    ~MacMainQueue() override;
    MacMainQueue(const MacMainQueue&) = delete;
    MacMainQueue& operator=(const MacMainQueue&) = delete;

    // Any thread. Dropped once the queue is closed.
    void post(std::function<void()> work) override;
    // Worker threads only. Returns without running `work` once the queue is closed.
    void runSync(std::function<void()> work) override;

    // Main thread: from now on nothing posted runs and waiting workers go on.
    void close();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace corvane::macos
