#pragma once

#include <QObject>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "app/platform/main_queue.hpp"

namespace corvane {

// The main thread's queue on the Qt event loop. Create it on the main thread.
//
// runSync waits for the main thread like a blocking queued call, with one
// difference: close() (called when the event loop has ended, before the
// desktop queue is joined) releases every waiting worker without running its
// work, so the shutdown's join can never deadlock on a worker that waits for
// a main thread that no longer turns.
class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;

    // Any thread. Dropped once the queue is closed.
    void post(std::function<void()> work) override;
    // Worker threads only. Returns without running `work` once the queue is closed.
    void runSync(std::function<void()> work) override;

    // Main thread: from now on nothing posted runs and waiting workers go on.
    void close();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    // Lives on the main thread; queued calls to it run there.
    std::unique_ptr<QObject> context_;
};

}  // namespace corvane
