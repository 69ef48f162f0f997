// The real app on a headless sway: shortcuts bound through the IPC, keys
// typed through the virtual keyboard, frames read back from sway's tree.

#include <gtest/gtest.h>

#include "core/config.hpp"
#include "core/geometry.hpp"
#include "tests/i3ipc/sway_session.hpp"

namespace corvane::i3ipc::testing {
namespace {

// The usable area of the one 1440×900 output, as the app sees it (no bar).
const Rect kArea{0, 0, 1440, 900};

Rect frameOf(SwaySession& sway, std::int64_t id) {
    const auto tree = sway.tree();
    const auto window = tree ? tree->window(id) : std::nullopt;
    return window ? window->rect : Rect{};
}

// Presses a combination and waits until the window has the frame `Geometry`
// computes for the top-left space (which on one output at the origin is
// sway's own).
::testing::AssertionResult pressAndExpect(SwaySession& sway, const std::string& keys, std::int64_t id,
                                          const Rect& expected) {
    sway.press(keys);
    const bool placed = sway.waitFor([&](const Tree& tree) {
        const auto window = tree.window(id);
        return window && window->floating && window->rect == expected;
    });
    if (placed) return ::testing::AssertionSuccess();
    const Rect got = frameOf(sway, id);
    return ::testing::AssertionFailure()
           << keys << ": expected " << expected.x << "," << expected.y << " " << expected.width << "x"
           << expected.height << ", got " << got.x << "," << got.y << " " << got.width << "x" << got.height;
}

Rect frame(Placement placement, double gap = 0) {
    return Geometry::frame(placement, kArea, gap);
}

TEST(SwayEndToEnd, HalvesQuartersFullScreenAndRestoreFloatTheWindowExactly) {
    SwaySession sway;
    SwayCorvane app(sway);
    const auto id = sway.openWindow();
    const Rect tiled = frameOf(sway, id);

    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Left", id, frame(Placement::leftHalf)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Right", id, frame(Placement::rightHalf)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Up", id, frame(Placement::topHalf)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Down", id, frame(Placement::bottomHalf)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+shift+Left", id, frame(Placement::topLeft)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+shift+Up", id, frame(Placement::topRight)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+shift+Down", id, frame(Placement::bottomLeft)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+shift+Right", id, frame(Placement::bottomRight)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+m", id, frame(Placement::maximize)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+m", id, frame(Placement::bottomRight)))
        << "the second press restores";
    EXPECT_NE(tiled, frame(Placement::bottomRight));

    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"sway\""), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("\"unavailable\":[]"), std::string::npos) << status.out;
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(SwayEndToEnd, StoredGapSurroundsTheTiles) {
    SwaySession sway;
    Config config = Config::defaults();
    config.gap = 12;
    SwayCorvane app(sway, config.encoded());
    const auto id = sway.openWindow();
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Left", id, frame(Placement::leftHalf, 12)));
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+shift+Right", id, frame(Placement::bottomRight, 12)));
}

TEST(SwayEndToEnd, AReloadKeepsTheBindings) {
    SwaySession sway;
    SwayCorvane app(sway);
    const auto id = sway.openWindow();
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Left", id, frame(Placement::leftHalf)));
    ASSERT_TRUE(sway.reload());
    // The app saw the same announcement before it answers a request made
    // after it: its event loop takes what is ready in order.
    app.run({"--status"});
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Right", id, frame(Placement::rightHalf)));
}

TEST(SwayEndToEnd, AKeyTheUsersConfigurationHoldsIsReportedAndLeftToThem) {
    SwaySession sway("bindsym Ctrl+Mod1+Mod4+Left exec true\n");
    SwayCorvane app(sway);
    const auto id = sway.openWindow();
    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"unavailable\":[\"leftHalf\"]"), std::string::npos) << status.out;
    // Our other shortcuts still work, and the user's key still does its own thing.
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Right", id, frame(Placement::rightHalf)));
    sway.press("ctrl+alt+logo+Left");
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Up", id, frame(Placement::topHalf)));
}

}  // namespace
}  // namespace corvane::i3ipc::testing

namespace corvane::i3ipc::testing {
namespace {

bool within(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

TEST(SwayEndToEnd, NextAndPreviousDisplayMoveTheWindowBetweenOutputs) {
    SwaySession sway;
    ASSERT_TRUE(sway.command("create_output").success);
    ASSERT_TRUE(sway.command("output HEADLESS-2 resolution 1280x720 position 1440 0").success);
    ASSERT_TRUE(sway.command("focus output HEADLESS-1").success);
    SwayCorvane app(sway);
    const auto id = sway.openWindow();
    const Rect second{1440, 0, 1280, 720};
    const Rect first{0, 0, 1440, 900};

    sway.press("ctrl+alt+Right");
    EXPECT_TRUE(sway.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        return w && w->output == "HEADLESS-2" && within(w->rect, second);
    })) << "next display";
    sway.press("ctrl+alt+Left");
    EXPECT_TRUE(sway.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        return w && w->output == "HEADLESS-1" && within(w->rect, first);
    })) << "previous display";
    // Placements on the second output use its own area.
    sway.press("ctrl+alt+Right");
    EXPECT_TRUE(pressAndExpect(sway, "ctrl+alt+logo+Left", id, Rect{1440, 0, 640, 720}));
}

TEST(SwayEndToEnd, SendAndFollowToWorkspacesThatDoNotExistYet) {
    SwaySession sway;
    SwayCorvane app(sway);
    const auto other = sway.openWindow();
    const auto focusedAtPress = sway.openWindow();

    // Send: the focused window goes; the user stays on workspace 1, where
    // the other window takes the focus.
    sway.press("ctrl+alt+3");
    EXPECT_TRUE(sway.waitFor([&](const Tree& t) {
        const auto w = t.window(focusedAtPress);
        const auto focused = t.focused();
        return w && w->workspace == "3" && focused && focused->id == other && focused->workspace == "1";
    })) << "send to 3";

    // Follow: the window focused now, and the user with it, go to workspace 5.
    sway.press("ctrl+alt+shift+5");
    EXPECT_TRUE(sway.waitFor([&](const Tree& t) {
        const auto focused = t.focused();
        return focused && focused->id == other && focused->workspace == "5";
    })) << "follow to 5";
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

}  // namespace
}  // namespace corvane::i3ipc::testing
