// The real app on i3 under Xvfb: keys held the X11 way (XTEST presses),
// windows placed and sent through i3's IPC, frames read back from its tree.

#include <gtest/gtest.h>

#include "core/config.hpp"
#include "core/geometry.hpp"
#include "tests/i3ipc/i3_session.hpp"
#include "tools/xharness/corvane_process.hpp"

namespace corvane::i3ipc::testing {
namespace {

TEST(I3EndToEnd, GrabbedKeysPlaceExactlyAndSendToNewWorkspaces) {
    I3Session i3;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/tourCompleted", "true"}}});
    const auto id = i3.openWindow();
    // The usable area is what i3 gives the workspace.
    const auto workspaces = parseWorkspaces(*i3.request(MessageType::getWorkspaces));
    ASSERT_FALSE(workspaces.empty());
    const Rect area = workspaces.front().rect;
    const auto expect = [&](const std::string& chord, Placement placement) {
        i3.server().keyboard().press(chord);
        const Rect target = Geometry::frame(placement, area, 0);
        Rect got;
        const bool placed = i3.waitFor([&](const Tree& t) {
            const auto w = t.window(id);
            if (w) got = w->rect;
            return w && w->floating && w->rect == target;
        });
        if (placed) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << chord << " left the window at " << got.x << "," << got.y
                                             << " " << got.width << "x" << got.height;
    };
    EXPECT_TRUE(expect("Ctrl+Alt+Super+Left", Placement::leftHalf));
    EXPECT_TRUE(expect("Ctrl+Alt+Shift+Right", Placement::bottomRight));
    EXPECT_TRUE(expect("Ctrl+Alt+Super+M", Placement::maximize));

    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"i3\""), std::string::npos) << status.out;

    i3.server().keyboard().press("Ctrl+Alt+Shift+4");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto f = t.focused();
        return f && f->id == id && f->workspace == "4";
    })) << "follow to a workspace that did not exist";
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

}  // namespace
}  // namespace corvane::i3ipc::testing

namespace corvane::i3ipc::testing {
namespace {

TEST(I3EndToEnd, FoundThroughTheRootWindowWhenTheEnvironmentDoesNotSay) {
    I3Options options;
    options.announceInEnvironment = false;
    I3Session i3(options);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/tourCompleted", "true"}}});
    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"i3\""), std::string::npos) << status.out;
}

}  // namespace
}  // namespace corvane::i3ipc::testing

namespace corvane::i3ipc::testing {
namespace {

// Presses `chord` and waits until the window floats at exactly `target`.
::testing::AssertionResult pressAndExpect(I3Session& i3, const std::string& chord, std::int64_t id,
                                          const Rect& target) {
    i3.server().keyboard().press(chord);
    Rect got;
    const bool placed = i3.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        if (w) got = w->rect;
        return w && w->floating && w->rect == target;
    });
    if (placed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << chord << ": expected " << target.x << "," << target.y << " " << target.width << "x"
           << target.height << ", got " << got.x << "," << got.y << " " << got.width << "x" << got.height;
}

bool within(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::optional<WorkspaceInfo> focusedWorkspace(I3Session& i3) {
    const auto reply = i3.request(MessageType::getWorkspaces);
    if (!reply) return std::nullopt;
    for (const auto& w : parseWorkspaces(*reply))
        if (w.focused) return w;
    return std::nullopt;
}

// The usable area of the workspace shown on `output` (the first one when empty).
Rect areaOf(I3Session& i3, const std::string& output = {}) {
    const auto reply = i3.request(MessageType::getWorkspaces);
    if (reply)
        for (const auto& w : parseWorkspaces(*reply))
            if (w.visible && (output.empty() || w.output == output)) return w.rect;
    return {};
}

TEST(I3EndToEnd, FullScreenThenTheSecondPressRestores) {
    I3Session i3;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto id = i3.openWindow();
    const Rect area = areaOf(i3);
    const Rect quarter = Geometry::frame(Placement::topLeft, area, 0);
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Shift+Left", id, quarter));
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, Geometry::frame(Placement::maximize, area, 0)));
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, quarter)) << "the second press restores";
    // And again: the restored frame is the one before the latest full screen.
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, Geometry::frame(Placement::maximize, area, 0)));
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, quarter));
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(I3EndToEnd, StoredGapSurroundsTheTiles) {
    I3Session i3;
    Config config = Config::defaults();
    config.gap = 12;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/config", config.encoded()}}});
    const auto id = i3.openWindow();
    const Rect area = areaOf(i3);
    EXPECT_TRUE(
        pressAndExpect(i3, "Ctrl+Alt+Super+Left", id, Geometry::frame(Placement::leftHalf, area, 12)));
    EXPECT_TRUE(
        pressAndExpect(i3, "Ctrl+Alt+Shift+Right", id, Geometry::frame(Placement::bottomRight, area, 12)));
}

TEST(I3EndToEnd, NextAndPreviousDisplayMoveTheWindowBetweenOutputs) {
    const Rect first{0, 0, 1440, 900};
    const Rect second{1440, 0, 1280, 720};
    I3Options options;
    options.monitors = {{"Main", 0, 0, 1440, 900, true}, {"Side", 1440, 0, 1280, 720, false}};
    I3Session i3(options);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto id = i3.openWindow();
    ASSERT_EQ(i3.tree()->window(id)->output, "Main");

    i3.server().keyboard().press("Ctrl+Alt+Right");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        return w && w->output == "Side" && within(w->rect, second);
    })) << "next display";
    i3.server().keyboard().press("Ctrl+Alt+Left");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        return w && w->output == "Main" && within(w->rect, first);
    })) << "previous display";
    // Placements on the second output use its own area.
    i3.server().keyboard().press("Ctrl+Alt+Right");
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+Left", id,
                               Geometry::frame(Placement::leftHalf, areaOf(i3, "Side"), 0)));
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(I3EndToEnd, SendToANewWorkspaceLeavesTheUserWhereTheyAre) {
    I3Session i3;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto other = i3.openWindow();
    const auto sent = i3.openWindow();
    i3.server().keyboard().press("Ctrl+Alt+3");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto w = t.window(sent);
        const auto focused = t.focused();
        return w && w->workspace == "3" && focused && focused->id == other && focused->workspace == "1";
    })) << "send to 3";
    const auto shown = focusedWorkspace(i3);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->name, "1");
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(I3EndToEnd, AKeyI3ItselfBindsIsReportedAndTheOthersWork) {
    I3Options options;
    options.extraConfig = "bindsym Ctrl+Mod1+Mod4+Left exec true\n";
    I3Session i3(options);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto id = i3.openWindow();
    const Rect area = areaOf(i3);
    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"unavailable\":[\"leftHalf\"]"), std::string::npos) << status.out;
    EXPECT_TRUE(
        pressAndExpect(i3, "Ctrl+Alt+Super+Right", id, Geometry::frame(Placement::rightHalf, area, 0)));
    // i3's key keeps doing its own thing, and ours still answer after it.
    i3.server().keyboard().press("Ctrl+Alt+Super+Left");
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+Up", id, Geometry::frame(Placement::topHalf, area, 0)));
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

}  // namespace
}  // namespace corvane::i3ipc::testing
