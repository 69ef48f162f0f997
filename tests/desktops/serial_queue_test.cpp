#include "app/desktops/serial_queue.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "ports/fake/fake_main_queue.hpp"

namespace corvane::desktops {
namespace {

// A main thread that never gets round to its work: what a worker sees
// while the real main thread is busy or already gone.
class StalledMainQueue final : public MainQueue {
public:
    void post(std::function<void()> work) override {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(work));
        if (items_.size() == 1) posted_.set_value();
    }
    void runSync(std::function<void()>) override { ADD_FAILURE() << "the queue must not block on runSync"; }

    std::future<void> firstPost() { return posted_.get_future(); }
    void runAll() {
        std::vector<std::function<void()>> items;
        {
            std::lock_guard lock(mutex_);
            items.swap(items_);
        }
        for (auto& item : items) item();
    }

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> items_;
    std::promise<void> posted_;
};

TEST(SerialQueue, RunsTasksOneAtATimeInSubmissionOrder) {
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    std::vector<int> order;  // only the worker touches it until `finished`
    std::promise<void> finished;
    SerialQueue queue;
    for (int i = 0; i < 200; ++i) {
        queue.submit([&, i] {
            if (inside.fetch_add(1) != 0) overlapped = true;
            order.push_back(i);
            std::this_thread::yield();
            inside.fetch_sub(1);
        });
    }
    queue.submit([&] { finished.set_value(); });
    finished.get_future().wait();
    EXPECT_FALSE(overlapped);
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
}

TEST(SerialQueue, HopsToTheMainThreadAndWaitsForIt) {
    fake::FakeMainQueue main;
    std::atomic<bool> done{false};
    std::atomic<bool> ran{false};
    std::thread::id hopThread;
    SerialQueue queue;  // joined before what its task uses goes away
    queue.submit([&] {
        ran = queue.runOnMain(main, [&] { hopThread = std::this_thread::get_id(); });
        done = true;
        main.notify();
    });
    main.runUntil([&] { return done.load(); });
    EXPECT_TRUE(ran);
    EXPECT_EQ(hopThread, std::this_thread::get_id());
}

TEST(SerialQueue, ShutdownReleasesAHopFinishesTheTaskAndDropsTheRest) {
    StalledMainQueue main;
    auto posted = main.firstPost();
    std::atomic<int> hopResult{-1};
    std::atomic<bool> hopWorkRan{false};
    std::atomic<bool> laterRan{false};
    {
        SerialQueue queue;
        queue.submit([&] { hopResult = queue.runOnMain(main, [&] { hopWorkRan = true; }) ? 1 : 0; });
        queue.submit([&] { laterRan = true; });
        posted.wait();     // the first task now waits for a main thread that never comes
        queue.shutdown();  // from the "main thread": must not deadlock
        queue.submit([&] { laterRan = true; });
    }
    EXPECT_EQ(hopResult, 0);
    EXPECT_FALSE(laterRan);
    main.runAll();  // the main thread wakes up late: the released hop does nothing
    EXPECT_FALSE(hopWorkRan);
}

TEST(SerialQueue, DestroyingAnUnusedQueueIsQuick) {
    SerialQueue queue;
    queue.shutdown();
    queue.shutdown();
}

}  // namespace
}  // namespace corvane::desktops
