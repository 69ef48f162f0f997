#include "app/desktops/serial_queue.hpp"

#include <utility>

namespace corvane::desktops {

SerialQueue::~SerialQueue() {
    shutdown();
}

void SerialQueue::submit(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        tasks_.push_back(std::move(task));
        if (!worker_.joinable()) worker_ = std::thread([this] { work(); });
    }
    changed_.notify_one();
}

void SerialQueue::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return stopping_ || !tasks_.empty(); });
            if (stopping_) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
            running_ = true;
        }
        task();
        std::lock_guard lock(mutex_);
        running_ = false;
    }
}

bool SerialQueue::isIdle() {
    std::lock_guard lock(mutex_);
    return !running_ && tasks_.empty();
}

bool SerialQueue::runOnMain(MainQueue& mainQueue, std::function<void()> work) {
    auto hop = std::make_shared<Hop>();
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return false;
        currentHop_ = hop;
    }
    mainQueue.post([hop, work = std::move(work)] {
        {
            std::lock_guard lock(hop->mutex);
            if (hop->state == Hop::State::cancelled) return;
            hop->state = Hop::State::running;
        }
        work();
        {
            std::lock_guard lock(hop->mutex);
            hop->state = Hop::State::done;
        }
        hop->changed.notify_all();
    });

    bool ran = false;
    {
        std::unique_lock lock(hop->mutex);
        hop->changed.wait(
            lock, [&] { return hop->state == Hop::State::done || hop->state == Hop::State::cancelled; });
        ran = hop->state == Hop::State::done;
    }
    std::lock_guard lock(mutex_);
    currentHop_.reset();
    return ran;
}

void SerialQueue::shutdown() {
    std::shared_ptr<Hop> hop;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        stoppingFlag_ = true;
        tasks_.clear();
        hop = currentHop_;
    }
    changed_.notify_all();
    if (hop) {
        {
            std::lock_guard lock(hop->mutex);
            // Work already running on the main thread is let finish: it may
            // use the task's own locals.
            if (hop->state == Hop::State::waiting) hop->state = Hop::State::cancelled;
        }
        hop->changed.notify_all();
    }
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

}  // namespace corvane::desktops
