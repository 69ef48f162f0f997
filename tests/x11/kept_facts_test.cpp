// Between presses the port keeps the active window's facts current from the
// server's events, so a press need not ask for them. Whatever others do to
// the window in between must reach the next press: here another client moves
// the window to the second monitor, and the next left-half placement must
// land there, not where the window stood when its facts were read.

#include <gtest/gtest.h>

#include <unistd.h>
#include <string>

#include "ports/x11/x11_element.hpp"
#include "presses_on_server.hpp"
#include "tools/xharness/monitors.hpp"
#include "tools/xharness/own_window.hpp"

namespace corvane::x11 {
namespace {

const Rect leftOfFirst{0, 0, 500, 1000}, leftOfSecond{1000, 0, 300, 1000};

class KeptFactsTest : public PressesOnServer {
protected:
    void SetUp() override {
        PressesOnServer::SetUp();
        for (const auto& command : xharness::setMonitorCommands(
                 x(), {{"a", 0, 0, 1000, 1000, true}, {"b", 1000, 0, 600, 1000, false}}))
            server_->runClient(command);
        ASSERT_EQ(server_->monitors().size(), 2u);
        window_ = xharness::openOwnWindow(x(), Rect{100, 100, 400, 300});
        x().requestActivation(window_);
        ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == window_; }, kWait));
        ASSERT_TRUE(roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window_, leftOfFirst); }));
        playQuietly();
    }

    // Another client has the window manager move the window onto the
    // second monitor; the port plays on meanwhile.
    void moveToSecondMonitor() {
        xcb_ewmh_request_moveresize_window(x().ewmh(), 0, window_, XCB_GRAVITY_STATIC,
                                           XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                           static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(
                                               XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y),
                                           1100, 200, 0, 0);
        xcb_flush(x().get());
        ASSERT_TRUE(x().waitFor([&] { return x().outerFrame(window_)->x >= 1000; }, kWait));
        playQuietly();
    }

    void expectLeftHalfOfSecondMonitor() {
        const auto trips = roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window_, leftOfSecond); });
        EXPECT_TRUE(trips) << "placed at " << x().outerFrame(window_)->x;
    }

    xcb_window_t window_ = XCB_WINDOW_NONE;
};

TEST_F(KeptFactsTest, AWindowMovedByAnotherClientIsPlacedWhereItIsNow) {
    moveToSecondMonitor();
    const auto trips = roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window_, leftOfSecond); });
    ASSERT_TRUE(trips);
    // Heard of, and read again before the press.
    EXPECT_EQ(*trips, 0u);
}

TEST_F(KeptFactsTest, AMaximisedWindowIsRestoredBeforeItIsPlaced) {
    xcb_ewmh_request_change_wm_state(
        x().ewmh(), 0, window_, XCB_EWMH_WM_STATE_ADD, x().ewmh()->_NET_WM_STATE_MAXIMIZED_VERT,
        x().ewmh()->_NET_WM_STATE_MAXIMIZED_HORZ, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(x().get());
    ASSERT_TRUE(x().waitFor([&] { return x().outerFrame(window_)->width == 1000; }, kWait));
    playQuietly();
    EXPECT_TRUE(roundTripsOf("Ctrl+Alt+Right", [&] { return frameIs(window_, Rect{500, 0, 500, 1000}); }));
}

TEST_F(KeptFactsTest, AWindowThatChangesAllTheTimeIsReadAtThePressInstead) {
    // Retitled far more often than anyone presses keys: no longer followed.
    for (int i = 0; i < 40; ++i) {
        const std::string title = "busy " + std::to_string(i);
        xcb_change_property(x().get(), XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(title.size()), title.data());
    }
    xcb_flush(x().get());
    playQuietly();
    moveToSecondMonitor();
    const auto trips = roundTripsOf("Ctrl+Alt+Left", [&] { return frameIs(window_, leftOfSecond); });
    ASSERT_TRUE(trips);
    EXPECT_GE(*trips, 1u);
    // Followed again after that press: the next quiet one reads nothing.
    playQuietly();
    const auto next = roundTripsOf("Ctrl+Alt+Right", [&] {
        return frameIs(window_, Rect{1300, 0, 300, 1000});
    });
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, 0u);
}

TEST_F(KeptFactsTest, AnotherWatchOnTheWindowEndingDoesNotSilenceIt) {
    auto& ax = port_->accessibility();
    auto watch = ax.observeDestruction(X11Element::ofWindow(getpid(), window_), [] {});
    ASSERT_TRUE(watch);
    watch.reset();
    moveToSecondMonitor();
    expectLeftHalfOfSecondMonitor();
}

}  // namespace
}  // namespace corvane::x11
