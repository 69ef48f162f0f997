#include "app/shell/qt_main_queue.hpp"

#include <QMetaObject>

namespace corvane {

struct QtMainQueue::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
};

namespace {

// The state of one runSync call, shared by the waiting worker and the work
// item on the main thread.
enum class SyncState { waiting, running, done, abandoned };

}  // namespace

QtMainQueue::QtMainQueue() : shared_(std::make_shared<Shared>()), context_(std::make_unique<QObject>()) {}

QtMainQueue::~QtMainQueue() {
    close();
}

void QtMainQueue::post(std::function<void()> work) {
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->closed) return;
    }
    QMetaObject::invokeMethod(
        context_.get(),
        [shared = shared_, work = std::move(work)] {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->closed) return;
            }
            work();
        },
        Qt::QueuedConnection);
}

void QtMainQueue::runSync(std::function<void()> work) {
    auto state = std::make_shared<SyncState>(SyncState::waiting);
    {
        std::lock_guard lock(shared_->mutex);
        if (shared_->closed) return;
    }
    QMetaObject::invokeMethod(
        context_.get(),
        [shared = shared_, state, work = std::move(work)] {
            {
                std::lock_guard lock(shared->mutex);
                // The worker stopped waiting (the queue closed): `work` may
                // refer to its stack, which is gone.
                if (*state == SyncState::abandoned || shared->closed) return;
                *state = SyncState::running;
            }
            work();
            {
                std::lock_guard lock(shared->mutex);
                *state = SyncState::done;
            }
            shared->changed.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(shared_->mutex);
    // Once running, the work finishes even if the queue closes meanwhile:
    // close() runs on the main thread, which is busy running it.
    shared_->changed.wait(
        lock, [&] { return *state == SyncState::done || (shared_->closed && *state == SyncState::waiting); });
    if (*state == SyncState::waiting) *state = SyncState::abandoned;
}

void QtMainQueue::close() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
    }
    shared_->changed.notify_all();
}

}  // namespace corvane
