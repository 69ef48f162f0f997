#include "app/shell/qt_main_queue.hpp"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <thread>

namespace corvane {
namespace {

// Plays the main thread until `done` holds. Never waits for more events: the
// worker's last step (returning from runSync) posts nothing that would wake us.
template <class Predicate>
void turnUntil(Predicate done) {
    while (!done()) {
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
}

TEST(QtMainQueue, WorkRunsOnTheMainThread) {
    QtMainQueue queue;
    QThread* ranOn = nullptr;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        queue.runSync([&] { ranOn = QThread::currentThread(); });
        returned = true;
    });
    turnUntil([&] { return returned.load(); });
    worker.join();
    EXPECT_EQ(QCoreApplication::instance()->thread(), ranOn);

    int posted = 0;
    queue.post([&] { ++posted; });
    EXPECT_EQ(0, posted);  // never runs inside post
    turnUntil([&] { return posted == 1; });
}

TEST(QtMainQueue, ClosingReleasesAWaitingWorkerWithoutRunningItsWork) {
    // The shutdown path: the event loop has ended and the desktop queue is
    // about to be joined while a worker waits in runSync.
    QtMainQueue queue;
    std::atomic<bool> waiting{false};
    bool ran = false;
    std::thread worker([&] {
        waiting = true;
        queue.runSync([&] { ran = true; });
    });
    while (!waiting) std::this_thread::yield();
    queue.close();
    worker.join();  // would hang forever with a plain blocking queued call
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);

    // After closing, nothing runs and nobody waits.
    queue.post([&] { ran = true; });
    std::thread late([&] { queue.runSync([&] { ran = true; }); });
    late.join();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace corvane
