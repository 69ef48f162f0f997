// The app on the desktops people really run: a French keyboard, a window
// manager started after the app, and one replaced while it runs.

#include <gtest/gtest.h>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tools/xharness/keyboard.hpp"

namespace corvane::e2e {
namespace {

class AzertyKeyboard : public AppTest {
protected:
    void beforeAppStarts() override {
        const auto result = server().runClient({"setxkbmap", "fr"});
        ASSERT_TRUE(result.status && result.status->exited && result.status->code == 0) << result.err;
    }
};

TEST_F(AzertyKeyboard, FullScreenIsTheKeyLabelledMAndTheDigitKeysSendToDesktops) {
    const auto now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_TRUE(now->unavailable.empty());

    auto window = openWindow();
    xharness::Keyboard french(x());  // the keys as the French layout has them
    french.press(xharness::Chord::parse("Ctrl+Alt+Super+m"));
    EXPECT_TRUE(expectFrame(*window, Geometry::frame(Placement::maximize, primaryVisible(), 0)));
    // Ctrl+Alt on the key labelled 2 (which types "é" unshifted).
    french.press(xharness::Chord::parse("Ctrl+Alt+2"));
    EXPECT_TRUE(x().waitFor([&] { return window->desktop() == 1U; }))
        << "window on " << window->desktop().value_or(99);
}

class ManagerLater : public AppTest {
protected:
    xharness::XServerOptions serverOptions() override {
        xharness::XServerOptions options;
        options.windowManager = false;
        return options;
    }
    // A status request is answered on the app's main loop; a second one is
    // answered after every X event that came before the first.
    void afterTheAppHasSeenIt() {
        ASSERT_TRUE(status(app()).has_value());
        ASSERT_TRUE(status(app()).has_value());
    }
};

TEST_F(ManagerLater, AManagerStartedAfterTheAppOrReplacedGetsEveryShortcutHeld) {
    // Without a manager there are no desktops: their shortcuts are left free.
    xharness::Chord sendTo2 = xharness::Chord::parse("Ctrl+Alt+2");
    ASSERT_TRUE(server().keyboard().grab(sendTo2));
    server().keyboard().ungrab(sendTo2);

    server().startWindowManager();
    afterTheAppHasSeenIt();
    EXPECT_FALSE(server().keyboard().grab(sendTo2)) << "held by the app now";
    auto window = openWindow();
    server().keyboard().press("Ctrl+Alt+Shift+2");
    EXPECT_TRUE(x().waitFor([&] { return window->desktop() == 1U && x().currentDesktop() == 1U; }))
        << "window on " << window->desktop().value_or(99) << ", showing "
        << x().currentDesktop().value_or(99);

    server().startWindowManager(std::nullopt, true);
    afterTheAppHasSeenIt();
    const auto now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_TRUE(now->unavailable.empty());
    server().keyboard().press("Ctrl+Alt+Shift+1");
    EXPECT_TRUE(x().waitFor([&] { return window->desktop() == 0U && x().currentDesktop() == 0U; }))
        << "window on " << window->desktop().value_or(99) << ", showing "
        << x().currentDesktop().value_or(99);
}

}  // namespace
}  // namespace corvane::e2e
