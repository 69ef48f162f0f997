#include "app/shell/action_symbol.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace corvane {
namespace {

TEST(ActionSymbol, EveryPlacementHasItsOwnShape) {
    const std::map<std::string, std::string> expected{
        {"leftHalf", "rectangle.lefthalf.filled"},
        {"rightHalf", "rectangle.righthalf.filled"},
        {"topHalf", "rectangle.tophalf.filled"},
        {"bottomHalf", "rectangle.bottomhalf.filled"},
        {"topLeft", "rectangle.inset.topleft.filled"},
        {"topRight", "rectangle.inset.topright.filled"},
        {"bottomLeft", "rectangle.inset.bottomleft.filled"},
        {"bottomRight", "rectangle.inset.bottomright.filled"},
        {"maximize", "rectangle.fill"},
        {"previousDisplay", "rectangle.lefthalf.inset.filled.arrow.left"},
        {"nextDisplay", "rectangle.righthalf.inset.filled.arrow.right"},
    };
    ASSERT_EQ(expected.size(), Placement::allCases().size());
    for (const Placement placement : Placement::allCases()) {
        EXPECT_EQ(expected.at(std::string(placement.rawValue())), symbol(WindowAction::placement(placement)))
            << placement.rawValue();
    }
}

TEST(ActionSymbol, DesktopActionsShareOneSymbolPerKind) {
    for (const SpaceAction action : SpaceAction::allCases()) {
        EXPECT_EQ(
            action.followsWindow() ? "rectangle.on.rectangle.angled" : "rectangle.portrait.and.arrow.right",
            symbol(WindowAction::space(action)))
            << action.rawValue();
    }
}

}  // namespace
}  // namespace corvane
