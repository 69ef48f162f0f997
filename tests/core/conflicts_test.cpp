#include <gtest/gtest.h>

#include "core/config.hpp"

namespace corvane {
namespace {

const WindowAction kLeft = WindowAction::placement(Placement::leftHalf);
const WindowAction kMaximize = WindowAction::placement(Placement::maximize);
const WindowAction kSend1 = WindowAction::space(SpaceAction::send1);
const WindowAction kSend2 = WindowAction::space(SpaceAction::send2);

TEST(Conflicts, DefaultsShareNothing) {
    const Config& d = Config::defaults();
    EXPECT_EQ(d.allShortcuts().size(), 29u);
    EXPECT_TRUE(d.conflictingActions().empty());
    EXPECT_TRUE(d.conflicts().empty());
    for (const auto& [action, shortcut] : d.allShortcuts()) EXPECT_TRUE(d.actionsSharingWith(action).empty());
    for (const Placement p : Placement::allCases()) EXPECT_TRUE(d.placementsSharingWith(p).empty());
}

TEST(Conflicts, DesktopActionSharingAPlacementShortcut) {
    Config c = Config::defaults();
    // Same key code and modifiers as leftHalf, different label: still shared.
    c.spaceShortcuts[SpaceAction::send1] = {123, 6400, "left"};
    EXPECT_EQ(c.conflictingActions(), (std::unordered_set<WindowAction>{kLeft, kSend1}));
    EXPECT_EQ(c.conflicts(), (std::unordered_set<Placement>{Placement::leftHalf}));
    EXPECT_EQ(c.actionsSharingWith(kLeft), (std::vector<WindowAction>{kSend1}));
    EXPECT_EQ(c.actionsSharingWith(kSend1), (std::vector<WindowAction>{kLeft}));
    EXPECT_TRUE(c.placementsSharingWith(Placement::leftHalf).empty());

    c.spaceShortcuts.erase(SpaceAction::send1);
    EXPECT_TRUE(c.conflictingActions().empty());
}

TEST(Conflicts, PartnersSortedByTitle) {
    Config c = Config::defaults();
    const Shortcut shared = c.shortcuts.at(Placement::leftHalf);
    c.shortcuts[Placement::maximize] = shared;
    c.spaceShortcuts[SpaceAction::send2] = shared;
    c.shortcuts[Placement::topLeft] = shared;
    // "Full Screen" < "Send to Desktop 2" < "Upper Left Quarter"
    EXPECT_EQ(c.actionsSharingWith(kLeft),
              (std::vector<WindowAction>{kMaximize, kSend2, WindowAction::placement(Placement::topLeft)}));
    // "Full Screen" < "Left Half" < "Upper Left Quarter"
    EXPECT_EQ(c.actionsSharingWith(kSend2),
              (std::vector<WindowAction>{kMaximize, kLeft, WindowAction::placement(Placement::topLeft)}));
    // Desktop actions ignored, allCases order.
    EXPECT_EQ(c.placementsSharingWith(Placement::maximize),
              (std::vector<Placement>{Placement::leftHalf, Placement::topLeft}));
    EXPECT_EQ(c.conflicts().size(), 3u);
    EXPECT_EQ(c.conflictingActions().size(), 4u);
}

TEST(Conflicts, UnboundActionHasNoPartners) {
    Config c = Config::defaults();
    c.shortcuts.erase(Placement::topHalf);
    c.shortcuts[Placement::maximize] = c.shortcuts.at(Placement::leftHalf);
    EXPECT_TRUE(c.actionsSharingWith(WindowAction::placement(Placement::topHalf)).empty());
    EXPECT_TRUE(c.placementsSharingWith(Placement::topHalf).empty());
    EXPECT_EQ(c.allShortcuts().size(), 28u);
    // Titles of sends and follows interleave by number.
    c.spaceShortcuts[SpaceAction::follow1] = c.spaceShortcuts.at(SpaceAction::send2);
    c.spaceShortcuts[SpaceAction::send1] = c.spaceShortcuts.at(SpaceAction::send2);
    EXPECT_EQ(c.actionsSharingWith(kSend2),
              (std::vector<WindowAction>{kSend1, WindowAction::space(SpaceAction::follow1)}));
}

}  // namespace
}  // namespace corvane
