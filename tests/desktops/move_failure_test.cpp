// Every way a move can fail, as the user sees it: one log line and one alert
// with the failure's text.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/desktops/failure.hpp"
#include "tests/desktops/desktop_world.hpp"

namespace corvane::desktops {
namespace {

using testing::mainDisplay;
using testing::MoveWorld;
using Function = fake::FakeWindowServer::Function;
using Pass = fake::FakeWindowServer::GesturePass;

Pass adds(int desktops) {
    Pass pass;
    pass.desktopsAdded = desktops;
    return pass;
}

const std::string unavailable = "Native Desktops unavailable or Accessibility access missing";
const std::string noWindow = "No focused window to move";
const std::string noDisplay = "Could not identify the window's display or Spaces";
const std::string noWindowID = "Could not identify the focused window";
const std::string operationUnavailable = "Native Desktop move is unavailable on this macOS version";
const std::string moveFailed = "macOS did not move the window to the requested Desktop";
const std::string switchFailed = "The window moved, but Corvane could not switch to its Desktop";
const std::string createFailed7 =
    "Could not create Desktop 7 on this display. Add it in Mission Control, then try again.";

struct Row {
    const char* name;
    SpaceAction action;
    std::function<void(MoveWorld&)> arrange;
    std::string message;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

WindowServer::Availability without(bool WindowServer::Availability::*fact) {
    WindowServer::Availability facts{true, true, true, true};
    facts.*fact = false;
    return facts;
}

const Row rows[] = {
    {"old_system", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setAvailability(without(&WindowServer::Availability::systemVersion)); },
     unavailable},
    {"no_server_functions", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setAvailability(without(&WindowServer::Availability::serverFunctions)); },
     unavailable},
    {"no_window_number_function", SpaceAction::send2,
     [](MoveWorld& w) {
         w.server.setAvailability(without(&WindowServer::Availability::windowNumberFunction));
     },
     unavailable},
    {"no_bridged_move", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setAvailability(without(&WindowServer::Availability::bridgedMove)); },
     unavailable},
    {"not_trusted", SpaceAction::send2, [](MoveWorld& w) { w.desk.accessibility().setTrusted(false); },
     unavailable},
    {"no_frontmost_application", SpaceAction::send2,
     [](MoveWorld& w) { w.desk.workspace().setFrontmost(std::nullopt); }, noWindow},

    {"no_focused_window", SpaceAction::send2,
     [](MoveWorld& w) { w.desk.accessibility().clearFocusedWindow(w.app); }, noWindow},
    {"focused_window_not_an_element", SpaceAction::send2,
     [](MoveWorld& w) {
         w.desk.accessibility().setAttributeValue(fake::FakeAccessibility::appElement(w.app),
                                                  AXName::focusedWindow, OtherValue{});
     },
     noWindow},
    {"window_number_zero", SpaceAction::send2, [](MoveWorld& w) { w.server.mapWindowId(w.window, 0); },
     noWindowID},
    {"window_number_refused", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setWindowNumberStatus(-25201); }, noWindowID},
    {"window_number_function_missing", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setFunctionMissing(Function::windowNumber); }, noWindowID},
    {"no_display_list", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setFunctionMissing(Function::managedDisplaySpaces); }, noDisplay},
    {"unreadable_frame", SpaceAction::send2,
     [](MoveWorld& w) { w.desk.accessibility().makeUnreadable(w.windowElement(), AXName::position); },
     noDisplay},
    {"screen_without_display", SpaceAction::send2,
     [](MoveWorld& w) {
         w.desk.screens().setDisplays(
             {{Screen{{0, 0, 1440, 900}, {0, 0, 1440, 875}, 1}, "elsewhere", {0, 0, 1440, 900}}});
     },
     noDisplay},
    {"window_not_on_shown_desktop", SpaceAction::send2,
     [](MoveWorld& w) { w.server.placeWindow(w.window, {w.desktops[2]}); }, noWindow},
    {"window_spaces_unreadable", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setFunctionMissing(Function::spacesForWindows); }, noWindow},
    {"desktop_creation_failed", SpaceAction::send7,
     [](MoveWorld& w) {
         w.server.scriptGesturePasses({Pass{}, adds(0)});
     },
     createFailed7},
    {"display_list_unreadable_on_second_read", SpaceAction::send2,
     [](MoveWorld& w) { w.server.failDisplayReportsFrom(2); }, noDisplay},
    {"display_list_unreadable_after_send", SpaceAction::send2,
     [](MoveWorld& w) { w.server.failDisplayReportsFrom(3); }, noDisplay},
    {"bridged_move_missing", SpaceAction::send2,
     [](MoveWorld& w) { w.server.setFunctionMissing(Function::bridgedMove); }, operationUnavailable},
    {"window_never_arrives", SpaceAction::send2, [](MoveWorld& w) { w.server.setMovesArrive(false); },
     moveFailed},
    {"follow_switch_missing", SpaceAction::follow2,
     [](MoveWorld& w) { w.server.setFunctionMissing(Function::setCurrentSpace); }, switchFailed},
    {"follow_switch_refused", SpaceAction::follow2, [](MoveWorld& w) { w.server.setSwitchStatus(1); },
     switchFailed},
    {"follow_switch_never_lands", SpaceAction::follow2,
     [](MoveWorld& w) { w.server.setSwitchesTakeEffect(false); }, switchFailed},
    {"send_switch_back_refused", SpaceAction::send2,
     [](MoveWorld& w) {
         w.server.setMoveShowsTarget(true);
         w.server.setSwitchStatus(1);
     },
     switchFailed},
    {"send_switch_back_never_lands", SpaceAction::send2,
     [](MoveWorld& w) {
         w.server.setMoveShowsTarget(true);
         w.server.setSwitchesTakeEffect(false);
     },
     switchFailed},
};

class MoveFailure : public ::testing::TestWithParam<Row> {};

TEST_P(MoveFailure, IsLoggedOnceAndShownInAnAlert) {
    MoveWorld world;
    GetParam().arrange(world);
    world.move(GetParam().action);

    EXPECT_EQ(world.logLines(), std::vector<std::string>{"corvane: " + GetParam().message});
    const auto shown = world.desk.alerts().shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, "Corvane couldn't move the window");
    EXPECT_EQ(shown[0].informative, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, MoveFailure, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             return std::string(info.param.name);
                         });

TEST(MoveFailureEffects, AnUnavailableMoveNeverReachesTheQueue) {
    MoveWorld world;
    world.desk.accessibility().setTrusted(false);
    world.move(SpaceAction::follow2);
    EXPECT_EQ(world.server.displayReportReads(), 0);
    EXPECT_EQ(world.desk.log().count("applicationElement"), 0u);
}

TEST(MoveFailureEffects, AMovedWindowStaysWhereItWentWhenTheFollowFails) {
    MoveWorld world;
    world.server.setSwitchStatus(1);
    world.move(SpaceAction::follow3);
    EXPECT_EQ(world.server.spacesOfWindow(world.window), std::vector{world.desktops[2]});
    EXPECT_EQ(world.server.currentSpace(mainDisplay), world.desktops[0]);
}

// The texts name the system the way its platform does: a Linux user must not
// be told that macOS failed.
TEST(MoveFailureEffects, TextsNameThePlatformsOwnSystem) {
    const WindowServer::Names windowManager{"The window manager", "this window manager", "your settings"};
    EXPECT_EQ(Failure::moveFailed().description(windowManager),
              "The window manager did not move the window to the requested Desktop");
    EXPECT_EQ(Failure::operationUnavailable().description(windowManager),
              "Native Desktop move is unavailable on this window manager");
    EXPECT_EQ(Failure::desktopCreateFailed(7).description(windowManager),
              "Could not create Desktop 7 on this display. Add it in your settings, then try again.");
    EXPECT_EQ(Failure::moveFailed().description(), "macOS did not move the window to the requested Desktop");
}

}  // namespace
}  // namespace corvane::desktops
