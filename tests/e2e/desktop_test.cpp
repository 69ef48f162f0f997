// Send and follow across EWMH desktops of the window manager, which starts
// with two.

#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

using Desktops = AppTest;

TEST_F(Desktops, SendToAMissingDesktopCreatesItAndStaysOnTheFirst) {
    auto window = openWindow();
    ASSERT_EQ(x().numberOfDesktops(), 2U);
    ASSERT_EQ(window->desktop(), 0U);

    server().keyboard().press("Ctrl+Alt+3");
    EXPECT_TRUE(x().waitFor([&] { return x().numberOfDesktops() == 3U && window->desktop() == 2U; }))
        << "desktops " << x().numberOfDesktops().value_or(0) << ", window on "
        << window->desktop().value_or(99);
    EXPECT_EQ(x().currentDesktop(), 0U) << "a send leaves the display where it was";
}

TEST_F(Desktops, FollowSwitchesToTheDesktopWithTheWindowFocused) {
    auto window = openWindow();
    server().keyboard().press("Ctrl+Alt+Shift+2");
    EXPECT_TRUE(x().waitFor([&] {
        return window->desktop() == 1U && x().currentDesktop() == 1U && window->isActive();
    })) << "window on "
        << window->desktop().value_or(99) << ", showing " << x().currentDesktop().value_or(99) << ", active "
        << window->isActive();
    EXPECT_EQ(x().numberOfDesktops(), 2U) << "no desktop is made when it exists";
}

}  // namespace
}  // namespace corvane::e2e
