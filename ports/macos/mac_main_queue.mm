#include "ports/macos/mac_main_queue.hpp"

#include <Foundation/Foundation.h>

#include <condition_variable>
#include <mutex>

namespace corvane::macos {

struct MacMainQueue::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;

    bool isClosed() {
        const std::lock_guard lock(mutex);
        return closed;
    }
};

MacMainQueue::MacMainQueue() : shared_(std::make_shared<Shared>()) {}

MacMainQueue::~MacMainQueue() {
    close();
}

void MacMainQueue::post(std::function<void()> work) {
    // The block owns a reference to the shared state: it may run after this
    // object is gone, and then finds the queue closed.
    const std::shared_ptr<Shared> shared = shared_;
    dispatch_async(dispatch_get_main_queue(), ^{
      if (shared->isClosed()) return;
      @autoreleasepool {
          work();
      }
    });
}

void MacMainQueue::runSync(std::function<void()> work) {
    const std::shared_ptr<Shared> shared = shared_;
    const auto done = std::make_shared<bool>(false);
    dispatch_async(dispatch_get_main_queue(), ^{
      if (!shared->isClosed()) {
          @autoreleasepool {
              work();
          }
      }
      {
          const std::lock_guard lock(shared->mutex);
          *done = true;
      }
      shared->changed.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    shared->changed.wait(lock, [&] { return *done || shared->closed; });
}

void MacMainQueue::close() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
    }
    shared_->changed.notify_all();
}

}  // namespace corvane::macos
