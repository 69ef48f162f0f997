#include "ports/kwin/kwin_channel.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace corvane::kwin {
namespace {

using compositor::Operation;
using compositor::Snapshot;
using namespace std::chrono_literals;

Snapshot withDesktops(int count) {
    Snapshot s;
    s.desktops.count = count;
    return s;
}

// The desktop worker asks; the script (played here on the test's thread,
// as the bus would deliver it on the main thread) fetches and reports back.
// There is no session bus: waking the script goes nowhere.
TEST(KWinChannel, AWorkersRequestIsAnsweredByTheStateAfterTheScriptAppliedIt) {
    KWinChannel channel("/nonexistent");
    auto answer = std::async(std::launch::async,
                             [&] { return channel.apply({Operation::desktopOf("w1", 2, true)}, 5s); });
    std::vector<Operation> fetched;
    while (fetched.empty()) {
        fetched = channel.fetch(withDesktops(1));
        std::this_thread::yield();
    }
    EXPECT_EQ(fetched, (std::vector<Operation>{Operation::desktopOf("w1", 2, true)}));
    channel.applied(withDesktops(3));
    const auto after = answer.get();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->desktops.count, 3);
}

TEST(KWinChannel, ARequestThatTimedOutIsNotAppliedLater) {
    KWinChannel channel("/nonexistent");
    EXPECT_EQ(channel.apply({Operation::focusOn("w1")}, 20ms), std::nullopt);
    // A wake that arrives late finds nothing to do: moving a window the
    // user has since given up on would surprise them.
    EXPECT_TRUE(channel.fetch(withDesktops(1)).empty());
}

TEST(KWinChannel, PostedOperationsWaitForTheNextFetchInOrder) {
    KWinChannel channel("/nonexistent");
    channel.post({Operation::rebind()});
    channel.post({Operation::focusOn("w2")});
    EXPECT_EQ(channel.fetch(withDesktops(1)),
              (std::vector<Operation>{Operation::rebind(), Operation::focusOn("w2")}));
    EXPECT_TRUE(channel.fetch(withDesktops(1)).empty());
    // Their report completes no one's request and is harmless.
    channel.applied(withDesktops(1));
}

TEST(KWinChannel, OverlappingRequestsEachGetTheStateAfterTheirOwnOperations) {
    KWinChannel channel("/nonexistent");
    auto first = std::async(std::launch::async, [&] { return channel.apply({Operation::focusOn("a")}, 5s); });
    std::vector<Operation> fetched;
    while (fetched.empty()) fetched = channel.fetch(withDesktops(1));
    auto second =
        std::async(std::launch::async, [&] { return channel.apply({Operation::focusOn("b")}, 5s); });
    channel.applied(withDesktops(2));
    ASSERT_EQ(first.get()->desktops.count, 2);
    fetched.clear();
    while (fetched.empty()) fetched = channel.fetch(withDesktops(2));
    EXPECT_EQ(fetched, (std::vector<Operation>{Operation::focusOn("b")}));
    channel.applied(withDesktops(4));
    EXPECT_EQ(second.get()->desktops.count, 4);
}

TEST(KWinChannel, ClosingAtQuitReleasesAWaitingWorkerAtOnce) {
    KWinChannel channel("/nonexistent");
    auto answer =
        std::async(std::launch::async, [&] { return channel.apply({Operation::focusOn("w1")}, 30s); });
    // Once the worker waits, nobody will answer: the event loop has stopped.
    while (channel.fetch(withDesktops(1)).empty()) std::this_thread::yield();
    const auto start = std::chrono::steady_clock::now();
    channel.close();
    EXPECT_EQ(answer.get(), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(channel.apply({Operation::focusOn("w1")}, 30s), std::nullopt) << "later requests fail at once";
}

}  // namespace
}  // namespace corvane::kwin
