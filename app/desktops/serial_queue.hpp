#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "app/platform/main_queue.hpp"

namespace corvane::desktops {

// One worker thread running tasks one at a time, in the order submitted.
// The thread starts with the first task. A task may hop to the main thread
// and wait for it (runOnMain); the main thread never waits for a task,
// except in shutdown, which is made safe against that hop.
//
// Shutdown lets the running task finish, drops the tasks still queued (they
// were asked for a screen the user is leaving; running them would hold up
// the exit by seconds each), and joins the thread. A task that is waiting
// for the main thread at that moment is released at once without its work
// having run, so shutting down from the main thread cannot deadlock.
class SerialQueue {
public:
    SerialQueue() = default;
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Any thread. Tasks must not throw. Ignored after shutdown.
    void submit(std::function<void()> task);

    // From a task only: runs `work` on the main thread and returns true once
    // it has run; returns false, without `work` ever running, when the
    // queue shuts down first.
    bool runOnMain(MainQueue& mainQueue, std::function<void()> work);

    // True when no task is queued or running. Any thread; only the thread
    // that submits can rely on it staying true.
    bool isIdle();

    // Idempotent; see the class comment. Not from a task.
    void shutdown();
    // True from the start of shutdown: the running task should end its
    // waits and report nothing. Any thread.
    bool isStopping() const { return stoppingFlag_.load(); }

private:
    // One synchronous hop, shared with the work posted to the main thread,
    // which may run (and find itself cancelled) after the queue is gone.
    struct Hop {
        enum class State { waiting, running, done, cancelled };
        std::mutex mutex;
        std::condition_variable changed;
        State state = State::waiting;
    };

    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    std::shared_ptr<Hop> currentHop_;
    bool running_ = false;
    bool stopping_ = false;
    std::atomic<bool> stoppingFlag_{false};
    std::thread worker_;
};

}  // namespace corvane::desktops
