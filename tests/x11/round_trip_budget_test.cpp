// How many times a press waits for the X server, counted, not timed: the
// product's own movers act on real presses through the port, on Xvfb with
// openbox, and each action must stay within its budget of round trips.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <optional>
#include <thread>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "port_on_server.hpp"
#include "ports/fake/fake_alerts.hpp"
#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_defaults.hpp"
#include "ports/fake/fake_login_item.hpp"
#include "ports/fake/fake_main_queue.hpp"
#include "ports/x11/round_trips.hpp"
#include "ports/x11/x11_accessibility.hpp"
#include "tools/xharness/monitors.hpp"
#include "tools/xharness/own_window.hpp"

namespace corvane::x11 {
namespace {

using xharness::openOwnDock;
using xharness::openOwnWindow;

constexpr std::chrono::milliseconds kWait{10000};
constexpr std::uint32_t kControlOption = 0x1800;  // Carbon controlKey | optionKey

// Desktop moves wait for the window manager in real time.
class RealClock final : public Clock {
public:
    TimePoint now() override {
        return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
    }
    void sleep(Duration duration) override {
        if (duration > Duration::zero()) std::this_thread::sleep_for(duration);
    }
};

class RoundTripBudgetTest : public PortOnServer {
protected:
    void SetUp() override {
        xharness::XServerOptions options;
        options.width = 1600;
        options.height = 1000;
        options.tray = false;
        options.desktops = 4;
        start(options);
        platform_.emplace(Platform{port_->accessibility(), port_->hotKeys(), port_->workspace(),
                                   port_->screens(), port_->windowServer(), port_->desktopGesture(),
                                   defaults_, loginItem_, port_->feedback(), alerts_, mainQueue_, clock_});
        mover_.emplace(*platform_);
        spaces_.emplace(*platform_);
        port_->hotKeys().installPressHandler([this](std::optional<HotKeyID> id) {
            if (id) act(id->id);
            return noErr;
        });
        // Ctrl+Alt+Left, Right, Down, 2 and 3.
        for (auto [keyCode, id] : {std::pair{123u, 0u}, {124u, 1u}, {125u, 2u}, {19u, 3u}, {20u, 4u}})
            ASSERT_TRUE(port_->hotKeys().registerHotKey(keyCode, kControlOption, HotKeyID{1, id}));
    }

    void TearDown() override {
        spaces_.reset();  // joins the desktop queue
        mover_.reset();
        PortOnServer::TearDown();
    }

    void act(std::uint32_t id) {
        auto finished = [this](const ActionOutcome& outcome) { outcome_ = outcome; };
        switch (id) {
            case 0:
                finished(mover_->move(Placement::leftHalf, 0));
                break;
            case 1:
                finished(mover_->move(Placement::rightHalf, 0));
                break;
            case 2:
                finished(mover_->move(Placement::bottomHalf, 0));
                break;
            case 3:
                spaces_->moveFocusedWindow(SpaceAction::send2, finished);
                break;
            case 4:
                spaces_->moveFocusedWindow(SpaceAction::follow3, finished);
                break;
            default:
                break;
        }
        handledAt_ = RoundTrips::count();
    }

    // Presses the chord and plays the main thread until the action has
    // reported and `settled` holds; the round trips from the press on.
    std::optional<std::uint64_t> roundTripsOf(const std::string& chord,
                                              const std::function<bool()>& settled) {
        outcome_.reset();
        const std::uint64_t before = RoundTrips::count();
        pressedAt_ = before;
        server_->keyboard().press(chord);
        // A desktop move reports through the main queue, which wakes no
        // descriptor: look again every few milliseconds.
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        bool done = false;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            done = x().waitFor(
                [&] {
                    port_->dispatchPending();
                    mainQueue_.drain();
                    return outcome_ && settled();
                },
                std::chrono::milliseconds(5), port_->fileDescriptor());
        }
        if (!done || !outcome_->done) return std::nullopt;
        // Whatever the desktop queue still does for this press counts too.
        std::atomic<bool> idle{false};
        spaces_->afterPendingMoves([&idle] { idle = true; });
        while (!idle) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return RoundTrips::count() - before;
    }

    bool frameIs(xcb_window_t window, const Rect& expected) { return x().outerFrame(window) == expected; }

    // The round trips of the last press until its handler returned.
    std::uint64_t tripsInHandler() const { return handledAt_ - pressedAt_; }

    fake::FakeCallLog log_;
    fake::FakeDefaults defaults_{log_};
    fake::FakeLoginItem loginItem_{log_};
    fake::FakeAlerts alerts_{log_};
    fake::FakeMainQueue mainQueue_;
    RealClock clock_;
    std::optional<Platform> platform_;
    std::optional<WindowMover> mover_;
    std::optional<NativeSpaces> spaces_;
    std::optional<ActionOutcome> outcome_;
    std::uint64_t pressedAt_ = 0, handledAt_ = 0;
};

TEST_F(RoundTripBudgetTest, AHalfPlacementWaitsForTheServerTwiceAtMost) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    const xcb_window_t other = openOwnWindow(x(), Rect{700, 100, 400, 300});
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    const Rect left{0, 0, 800, 1000}, right{800, 0, 800, 1000}, bottom{0, 500, 1600, 500};

    // The first press also meets the keyboard the presses come from.
    ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window, left); }));

    // Nothing changed since the last press: only the window is read.
    auto trips = roundTripsOf("Ctrl+Alt+Right", [&] { return frameIs(window, right); });
    ASSERT_TRUE(trips);
    EXPECT_LE(*trips, 2u);
    std::cout << "half placement, nothing changed since the last press: " << *trips << " round trips\n";

    // The size waits for the position that follows it: the window manager
    // gets the whole frame in one request.
    auto& ax = static_cast<X11Accessibility&>(port_->accessibility());
    const unsigned requestsBefore = ax.placementRequests();
    ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Down", [&] { return frameIs(window, bottom); }));
    EXPECT_EQ(ax.placementRequests() - requestsBefore, 1u);
    ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window, left); }));

    // Another window was active in between, and came back.
    x().requestActivation(other);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == other; }, kWait));
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    trips = roundTripsOf("Ctrl+Alt+Down", [&] { return frameIs(window, bottom); });
    ASSERT_TRUE(trips);
    EXPECT_LE(*trips, 2u);
    std::cout << "half placement after a change of the active window: " << *trips << " round trips\n";
}

TEST_F(RoundTripBudgetTest, WhatIsKeptIsForgottenWhenTheServerSaysItChanged) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window, Rect{0, 0, 800, 1000}); }));

    // A panel along the bottom appears after the screens were read: the next
    // placement keeps clear of it, still within the budget.
    openOwnDock(x(), Rect{0, 960, 1600, 40}, {0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 1599});
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    auto trips = roundTripsOf("Ctrl+Alt+Right", [&] { return frameIs(window, Rect{800, 0, 800, 960}); });
    ASSERT_TRUE(trips);
    EXPECT_LE(*trips, 2u);

    // Two monitors now; the window stands on the second.
    for (const auto& command :
         xharness::setMonitorCommands(x(), {{"a", 0, 0, 1000, 1000, true}, {"b", 1000, 0, 600, 1000, false}}))
        server_->runClient(command);
    // The server told the port before xrandr returned, and before the press.
    ASSERT_EQ(server_->monitors().size(), 2u);
    // The window on the second monitor: its left half.
    trips = roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window, Rect{1000, 0, 300, 960}); });
    ASSERT_TRUE(trips);
    EXPECT_LE(*trips, 2u);
}

TEST_F(RoundTripBudgetTest, ADesktopSendWaitsForTheServerThreeTimesAtMost) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window, Rect{0, 0, 800, 1000}); }));

    // Sent to the second desktop, which exists; the user stays where they were.
    auto trips = roundTripsOf("Ctrl+Alt+2", [&] { return x().windowDesktop(window) == 1u; });
    ASSERT_TRUE(trips);
    EXPECT_LE(*trips, 3u);
    EXPECT_EQ(x().currentDesktop(), 0u);
    std::cout << "desktop send: " << *trips << " round trips\n";

    // Back, active again; then sent to the third desktop and followed there.
    xcb_ewmh_request_change_wm_desktop(x().ewmh(), 0, window, 0, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(x().get());
    ASSERT_TRUE(x().waitFor([&] { return x().windowDesktop(window) == 0u; }, kWait));
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    trips = roundTripsOf("Ctrl+Alt+3",
                         [&] { return x().windowDesktop(window) == 2u && x().currentDesktop() == 2u; });
    ASSERT_TRUE(trips);
    // Every request of the follow goes out from the press handler, which
    // waits as a placement's press does (now and then one more, when some of
    // what is kept between presses must be read again). The desktop queue then
    // reads each change it waits for as it starts listening, and once more
    // when the window manager says it was made; none of that delays a request.
    EXPECT_LE(tripsInHandler(), 3u);
    EXPECT_LE(*trips, 7u);
    std::cout << "desktop send and follow: " << tripsInHandler() << " round trips in the press handler, "
              << *trips << " in all\n";
}

}  // namespace
}  // namespace corvane::x11
