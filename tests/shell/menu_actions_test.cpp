#include "app/shell/menu_actions.hpp"

#include <gtest/gtest.h>

#include "tests/shell/recording_control.hpp"

namespace corvane {
namespace {

using Calls = std::vector<std::string>;

TEST(MenuActions, EachCommandReachesItsTarget) {
    test::RecordingControl control;
    runMenuCommand(MoveCommand{Placement::leftHalf}, control);
    runMenuCommand(SpaceCommand{SpaceAction::follow3}, control);
    runMenuCommand(GrantAccessCommand{}, control);
    runMenuCommand(SettingsCommand{}, control);
    runMenuCommand(TourCommand{}, control);
    runMenuCommand(QuitCommand{}, control);
    EXPECT_EQ(
        (Calls{"perform(leftHalf)", "perform(follow3)", "requestAccess", "openSettings", "openTour", "quit"}),
        control.calls);
}

TEST(MenuActions, TheSwitchFlipsBothWays) {
    test::RecordingControl control;
    runMenuCommand(ToggleEnabledCommand{}, control);
    EXPECT_FALSE(control.enabled);
    runMenuCommand(ToggleEnabledCommand{}, control);
    EXPECT_TRUE(control.enabled);
    EXPECT_EQ((Calls{"setEnabled(false)", "setEnabled(true)"}), control.calls);
}

TEST(MenuActions, MovesChosenWhileOffDoNothing) {
    // A menu built while on can still be chosen from after the switch went
    // off (by a hot key or another launch); the command must not move anything.
    const auto items = buildStatusMenu(MenuState{true, true, Config::defaults(), true});
    test::RecordingControl control;
    control.enabled = false;
    for (const auto& item : items) {
        if (item.command && !std::holds_alternative<QuitCommand>(*item.command) &&
            !std::holds_alternative<ToggleEnabledCommand>(*item.command)) {
            runMenuCommand(*item.command, control);
        }
        for (const auto& desktop : item.submenu) runMenuCommand(*desktop.command, control);
    }
    EXPECT_EQ((Calls{"openSettings", "openTour"}), control.calls);
}

}  // namespace
}  // namespace corvane
