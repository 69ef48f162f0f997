#include "app/shell/x11_event_pump.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QTimer>
#include <array>

namespace corvane {
namespace {

// A pipe stands in for the X connection: readable once a byte is written.
struct Pipe {
    std::array<int, 2> fds{-1, -1};
    Pipe() { EXPECT_EQ(0, ::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK)); }
    ~Pipe() {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    void makeReadable() { ASSERT_EQ(1, ::write(fds[1], "x", 1)); }
};

TEST(X11EventPump, DispatchesWhenReadableAndBeforeTheLoopSleeps) {
    Pipe pipe;
    int dispatched = 0;
    int lost = 0;
    X11EventPump pump(
        pipe.fds[0],
        [&] {
            ++dispatched;
            char byte = 0;
            while (::read(pipe.fds[0], &byte, 1) == 1) {
            }
            return true;
        },
        [&] { ++lost; });
    // Events parked in the library's queue before the pump existed.
    EXPECT_EQ(1, dispatched);

    pipe.makeReadable();
    const int before = dispatched;
    while (dispatched == before) QCoreApplication::processEvents();
    EXPECT_EQ(0, lost);

    // With nothing to read, a turn of the loop that sleeps still asks the
    // port first: the X library may hold events it read during a request.
    const int idle = dispatched;
    QTimer::singleShot(0, [] {});  // something to wake up for
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_GT(dispatched, idle);
}

TEST(X11EventPump, ALostConnectionIsReportedOnceAndNeverSpins) {
    Pipe pipe;
    pipe.makeReadable();  // and never drained: a dead socket stays readable
    int dispatched = 0;
    int lost = 0;
    X11EventPump pump(
        pipe.fds[0], [&] { return ++dispatched > 1 ? false : true; }, [&] { ++lost; });

    QCoreApplication::processEvents();
    EXPECT_EQ(2, dispatched);
    EXPECT_EQ(1, lost);
    for (int turn = 0; turn < 20; ++turn) QCoreApplication::processEvents();
    EXPECT_EQ(2, dispatched);
    EXPECT_EQ(1, lost);
}

}  // namespace
}  // namespace corvane
