// Shortcuts as passive grabs shared with every other client of the server:
// one held elsewhere is reported and does not cost the others; switching
// off gives every one of them back.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

class HeldShortcut : public AppTest {
protected:
    void beforeAppStarts() override {
        ASSERT_TRUE(server().keyboard().grab(xharness::Chord::parse("Ctrl+Alt+Super+Left")));
    }
};

TEST_F(HeldShortcut, IsListedUnavailableWhileTheOthersWork) {
    allowLogLines();  // the refused grab may be logged
    std::optional<Status> now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_TRUE(now->enabled);
    EXPECT_EQ(now->unavailable, std::vector<std::string>{"leftHalf"});

    auto window = openWindow();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window,
                                    Geometry::frame(Placement::rightHalf, primaryVisible(), 0)));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Shift+Left", *window,
                                    Geometry::frame(Placement::topLeft, primaryVisible(), 0)));
}

using Switch = AppTest;

TEST_F(Switch, DisableReleasesEveryGrabAndEnableTakesThemBack) {
    xharness::CommandResult off = app().run({"--disable"});
    ASSERT_TRUE(off.status && off.status->exited && off.status->code == 0) << off.err;
    std::optional<Status> now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_FALSE(now->enabled);

    // Every default shortcut is free: this connection can grab each one
    // (the server refuses with BadAccess while any client holds it).
    std::vector<xharness::Chord> taken;
    for (const auto& [action, shortcut] : Config::defaults().allShortcuts()) {
        xharness::Chord chord = xharness::Chord::parse(chordFor(shortcut));
        EXPECT_TRUE(server().keyboard().grab(chord))
            << chord.text << " (" << action.title() << ") still held";
        taken.push_back(chord);
    }
    EXPECT_EQ(taken.size(), 29U);
    for (const auto& chord : taken) server().keyboard().ungrab(chord);

    xharness::CommandResult on = app().run({"--enable"});
    ASSERT_TRUE(on.status && on.status->exited && on.status->code == 0) << on.err;
    now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_TRUE(now->enabled);
    EXPECT_TRUE(now->unavailable.empty());
    auto window = openWindow();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Left", *window,
                                    Geometry::frame(Placement::leftHalf, primaryVisible(), 0)));
}

}  // namespace
}  // namespace corvane::e2e
