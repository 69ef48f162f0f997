// How many times a press waits for the X server, counted, not timed: the
// product's own movers act on real presses through the port, on Xvfb with
// openbox, and each action must stay within its budget of round trips.

#include <gtest/gtest.h>

#include <iostream>

#include "ports/x11/x11_accessibility.hpp"
#include "presses_on_server.hpp"
#include "tools/xharness/monitors.hpp"
#include "tools/xharness/own_window.hpp"

namespace corvane::x11 {
namespace {

using xharness::openOwnDock;
using xharness::openOwnWindow;

using RoundTripBudgetTest = PressesOnServer;

TEST_F(RoundTripBudgetTest, AHalfPlacementWaitsForTheServerTwiceAtMost) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    const xcb_window_t other = openOwnWindow(x(), Rect{700, 100, 400, 300});
    x().requestActivation(window);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window; }, kWait));
    const Rect left{0, 0, 800, 1000}, right{800, 0, 800, 1000}, bottom{0, 500, 1600, 500};

    // The first press also meets the keyboard the presses come from.
    ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window, left); }));

    // Nothing changed since the port heard of the last press's outcome: all
    // it needs is known.
    playQuietly();
    auto trips = roundTripsOf("Ctrl+Alt+Right", [&] { return frameIs(window, right); });
    ASSERT_TRUE(trips);
    EXPECT_EQ(*trips, 0u);
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
