#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "tests/desktops/desktop_world.hpp"

namespace corvane::desktops {
namespace {

using testing::mainDisplay;
using Pass = fake::FakeWindowServer::GesturePass;
using SwitchRequests = std::vector<fake::FakeWindowServer::SwitchRequest>;
using Lines = std::vector<std::string>;

// Every behaviour holds both where moves run whole on the queue and where
// the window server lets them start at the press.
struct MoveTest : ::testing::TestWithParam<bool>, testing::MoveWorld {
    MoveTest() { server.setStartsMovesAtPress(GetParam()); }

    // The call-log lines of what a move did to the window and the server,
    // in order.
    Lines effects() {
        Lines lines;
        for (const auto& line : desk.log().entries()) {
            for (const char* prefix : {"activate", "setAttribute", "performAction", "setCurrentSpace",
                                       "performBridgedMove", "gesture request"}) {
                if (line.rfind(prefix, 0) == 0) lines.push_back(line);
            }
        }
        return lines;
    }
    std::string space(std::size_t index) { return std::to_string(desktops.at(index)); }

    // What a follow to desktop `index` does after `moved`: at the press the
    // desktop is asked for first (the window then appears once, as it
    // arrives); on the queue only once the window has landed.
    Lines followed(const Lines& moved, std::size_t index) {
        const Lines focus{"activate 501", "setAttribute AXMain true", "setAttribute AXFocused true"};
        const std::string show = "setCurrentSpace " + mainDisplay + " " + space(index);
        Lines lines;
        if (GetParam()) lines.push_back(show);
        lines.insert(lines.end(), moved.begin(), moved.end());
        lines.insert(lines.end(), focus.begin(), focus.end());
        if (!GetParam()) lines.push_back(show);
        lines.push_back("performAction AXRaise");
        return lines;
    }
};

TEST_P(MoveTest, SendMovesTheWindowAndLeavesTheDisplayAlone) {
    move(SpaceAction::send2);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[1]});
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[0]);
    EXPECT_EQ(effects(), Lines{"performBridgedMove " + std::to_string(window) + " " + space(1)});
    EXPECT_TRUE(logLines().empty());
    EXPECT_TRUE(desk.alerts().shown().empty());
    // Neither element may hold the queue for long.
    EXPECT_EQ(desk.accessibility().messagingTimeout(fake::FakeAccessibility::appElement(app)), 1.0f);
    EXPECT_EQ(desk.accessibility().messagingTimeout(windowElement()), 1.0f);
}

TEST_P(MoveTest, SendToTheShownDesktopChangesNothing) {
    move(SpaceAction::send1);
    EXPECT_TRUE(effects().empty());
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[0]});
    EXPECT_TRUE(logLines().empty());
    EXPECT_TRUE(desk.alerts().shown().empty());
}

TEST_P(MoveTest, FollowToTheShownDesktopStillActivatesFocusesAsksAndRaises) {
    move(SpaceAction::follow1);
    EXPECT_EQ(effects(), followed({}, 0));
    EXPECT_TRUE(logLines().empty());
}

TEST_P(MoveTest, FollowShowsTheTargetDesktopWithTheWindowRaised) {
    move(SpaceAction::follow3);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[2]});
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[2]);
    EXPECT_EQ(effects(), followed({"performBridgedMove " + std::to_string(window) + " " + space(2)}, 2));
    EXPECT_EQ(desk.workspace().activated(), std::vector<pid_t>{app});
}

TEST_P(MoveTest, SendThatLeftTheDisplayOnTheTargetSwitchesItBack) {
    server.setMoveShowsTarget(true);
    move(SpaceAction::send3);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[2]});
    EXPECT_EQ(server.switchRequests(), (SwitchRequests{{mainDisplay, desktops[0]}}));
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[0]);
    EXPECT_TRUE(logLines().empty());
}

TEST_P(MoveTest, DesktopSevenOnADisplayWithThreeCreatesFourToSevenFirst) {
    move(SpaceAction::send7);
    const auto now = server.desktops(mainDisplay);
    ASSERT_EQ(now.size(), 7u);
    EXPECT_EQ(desk.desktopGesture().requests().size(), 4u);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{now[6]});
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[0]);
    EXPECT_TRUE(logLines().empty());
}

TEST_P(MoveTest, TheNumberSkipsSpacesThatAreNoDesktops) {
    server.removeDisplay(mainDisplay);
    server.addDisplay(mainDisplay, {{1, 0}, {2, 4}, {3, 0}}, 1);
    server.placeWindow(window, {1});
    move(SpaceAction::send2);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector<std::uint64_t>{3});
    EXPECT_TRUE(desk.desktopGesture().requests().empty());
}

TEST_P(MoveTest, TwoFailuresAreTwoLogLinesAndOneAlert) {
    server.placeWindow(window, {desktops[1]});  // not on the shown desktop
    spaces->moveFocusedWindow(SpaceAction::send2);
    spaces->moveFocusedWindow(SpaceAction::send3);
    settle();
    EXPECT_EQ(logLines().size(), 2u);
    EXPECT_EQ(desk.alerts().shown().size(), 1u);

    // Failures at the entry, on the main thread, follow the same rule.
    desk.accessibility().setTrusted(false);
    move(SpaceAction::send2);
    EXPECT_EQ(logLines().size(), 3u);
    EXPECT_EQ(desk.alerts().shown().size(), 1u);

    // Once the user closes it, the next failure shows again.
    desk.alerts().dismissAll();
    move(SpaceAction::send2);
    EXPECT_EQ(desk.alerts().shown().size(), 2u);
}

TEST_P(MoveTest, QueuedMovesRunInOrderEachWithWhatItsOwnPressSaw) {
    // A second application whose window is on a second display.
    const std::string second = "00000000-0000-0000-0000-000000000002";
    const auto otherDesktops = server.addDisplayWithDesktops(second, 2);
    const pid_t otherApp = 777;
    const Rect otherFrame{1600, 100, 400, 300};

    // The first press sees one screen. Being a follow, its move waits for the
    // main thread, which the test plays only in settle(): nothing queued
    // behind it can start before then.
    spaces->moveFocusedWindow(SpaceAction::follow2);

    // Then the screens change (had the first move used this list, the
    // window's display would be unknown) and another application comes forward.
    desk.screens().setDisplays({
        {Screen{{0, 0, 1440, 900}, {0, 0, 1440, 875}, 1}, "retired", {0, 0, 1440, 900}},
        {Screen{{1440, 0, 1440, 900}, {1440, 0, 1440, 875}, 2}, second, {1440, 0, 1440, 900}},
    });
    const auto pressedWindow = desk.openWindow(otherApp, otherFrame);
    server.placeWindow(pressedWindow, {otherDesktops[0]});
    spaces->moveFocusedWindow(SpaceAction::send2);

    // The application's focus moves on (another window of the same
    // application) before its move starts: the move still takes the window
    // that was focused at the press.
    const auto focusedLater = desk.accessibility().addWindow(otherApp, otherFrame);
    server.placeWindow(focusedLater, {otherDesktops[0]});
    desk.accessibility().focusWindow(focusedLater);

    settle();
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[1]});
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[1]);
    EXPECT_EQ(server.spacesOfWindow(pressedWindow), std::vector{otherDesktops[1]});
    EXPECT_EQ(server.spacesOfWindow(focusedLater), std::vector{otherDesktops[0]});
    EXPECT_EQ(server.currentSpace(second), otherDesktops[0]);

    // Never interleaved: the second move starts after the first one's last step.
    const auto entries = desk.log().entries();
    const auto at = [&](const std::string& line) {
        return std::find(entries.begin(), entries.end(), line) - entries.begin();
    };
    EXPECT_LT(at("performAction AXRaise"), at("performBridgedMove " + std::to_string(pressedWindow) + " " +
                                              std::to_string(otherDesktops[1])));
    EXPECT_LT(at("applicationElement 501"), at("applicationElement 777"));
}

TEST_P(MoveTest, FollowThenSendActOnTheWindowsFocusedAtTheirPresses) {
    // Two windows of one application: follow on the first, then, while that
    // move still waits for the main thread, send on the second.
    const auto second = desk.accessibility().addWindow(app, {200, 200, 600, 400});
    server.placeWindow(second, {desktops[0]});
    spaces->moveFocusedWindow(SpaceAction::follow2);
    desk.accessibility().focusWindow(second);
    spaces->moveFocusedWindow(SpaceAction::send3);
    settle();

    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[1]});
    EXPECT_EQ(server.spacesOfWindow(second), std::vector{desktops[2]});
}

TEST_P(MoveTest, TheOutcomeArrivesOnTheMainThreadOnceTheMoveHasRun) {
    std::vector<ActionOutcome> outcomes;
    const auto record = [&](const ActionOutcome& outcome) { outcomes.push_back(outcome); };
    spaces->moveFocusedWindow(SpaceAction::send2, record);
    EXPECT_TRUE(outcomes.empty()) << "not before the move has run";
    settle();
    EXPECT_EQ(outcomes, std::vector{ActionOutcome::success()});

    server.placeWindow(window, {desktops[0]});
    server.setMovesArrive(false);
    spaces->moveFocusedWindow(SpaceAction::send3, record);
    settle();
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1], ActionOutcome::failure("macOS did not move the window to the requested Desktop"));

    // Refused at the press: told at once, on the calling thread.
    desk.workspace().setFrontmost(std::nullopt);
    spaces->moveFocusedWindow(SpaceAction::send2, record);
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[2], ActionOutcome::failure("No focused window to move"));
}

TEST_P(MoveTest, ABurstOfPressesWithoutAWindowShowsOneAlert) {
    desk.workspace().setFrontmost(std::nullopt);
    for (int press = 0; press < 5; ++press) spaces->moveFocusedWindow(SpaceAction::send2);
    settle();
    EXPECT_EQ(logLines().size(), 5u);
    ASSERT_EQ(desk.alerts().shown().size(), 1u);
    EXPECT_EQ(desk.alerts().shown()[0].informative, "No focused window to move");
}

INSTANTIATE_TEST_SUITE_P(Both, MoveTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "AtThePress" : "OnTheQueue"; });

// Where moves start at the press, what the press itself does.
struct MoveAtPressTest : MoveTest {
    // A follow to desktop 3 that fails: the user must not be left on a
    // desktop the window never reached.
    ActionOutcome failedFollow() {
        std::optional<ActionOutcome> outcome;
        spaces->moveFocusedWindow(SpaceAction::follow3, [&](const ActionOutcome& o) { outcome = o; });
        settle();
        EXPECT_EQ(server.spacesOfWindow(window), std::vector{desktops[0]});
        EXPECT_EQ(server.currentSpace(mainDisplay), desktops[0]);
        return outcome.value_or(ActionOutcome::success());
    }
};

TEST_P(MoveAtPressTest, AFollowsRequestsAllGoOutBeforeThePressReturns) {
    spaces->moveFocusedWindow(SpaceAction::follow3);
    EXPECT_EQ(effects(), (Lines{"setCurrentSpace " + mainDisplay + " " + space(2),
                                "performBridgedMove " + std::to_string(window) + " " + space(2),
                                "activate 501", "setAttribute AXMain true", "setAttribute AXFocused true"}));
    settle();
    EXPECT_EQ(effects().back(), "performAction AXRaise");
    EXPECT_EQ(server.currentSpace(mainDisplay), desktops[2]);
    EXPECT_TRUE(logLines().empty());
}

TEST_P(MoveAtPressTest, AFollowWhoseWindowNeverLandsShowsTheDesktopItLeftAgain) {
    server.setMovesArrive(false);
    EXPECT_EQ(failedFollow(),
              ActionOutcome::failure("macOS did not move the window to the requested Desktop"));
    EXPECT_EQ(desk.alerts().shown().size(), 1u);
}

TEST_P(MoveAtPressTest, AFollowWhoseMoveIsRefusedShowsTheDesktopItLeftAgain) {
    server.setFunctionMissing(fake::FakeWindowServer::Function::bridgedMove);
    EXPECT_FALSE(failedFollow().done);
}

TEST_P(MoveAtPressTest, APressWhileAMoveIsUnderWayWaitsForItsTurn) {
    // Desktop 5 must be created first: that follow runs whole on the queue,
    // where it waits for the main thread, which the test plays only in settle().
    spaces->moveFocusedWindow(SpaceAction::follow5);
    spaces->moveFocusedWindow(SpaceAction::send3);
    EXPECT_TRUE(effects().empty()) << "nothing of the second move at its press";
    settle();
    const auto now = server.desktops(mainDisplay);
    ASSERT_EQ(now.size(), 5u);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{now[2]});
    EXPECT_EQ(server.currentSpace(mainDisplay), now[4]);
    EXPECT_TRUE(logLines().empty());
}

TEST_P(MoveAtPressTest, MissingDesktopsAreCreatedOnTheQueueNotAtThePress) {
    spaces->moveFocusedWindow(SpaceAction::send5);
    EXPECT_TRUE(effects().empty());
    settle();
    const auto now = server.desktops(mainDisplay);
    ASSERT_EQ(now.size(), 5u);
    EXPECT_EQ(server.spacesOfWindow(window), std::vector{now[4]});
}

INSTANTIATE_TEST_SUITE_P(Only, MoveAtPressTest, ::testing::Values(true),
                         [](const auto&) { return std::string("AtThePress"); });

}  // namespace
}  // namespace corvane::desktops
