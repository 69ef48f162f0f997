#include <gtest/gtest.h>

#include <string>
#include <unordered_set>

#include "core/window_action.hpp"

namespace corvane {
namespace {

template <typename Action, std::size_t N>
std::string joinedRawValues(const std::array<Action, N>& cases) {
    std::string joined;
    for (const Action a : cases) joined += std::string(a.rawValue()) + " ";
    return joined;
}

// The raw values and their order are what stored documents and their
// "known" lists rely on.
TEST(WindowAction, AllCasesKeepPersistentRawValuesInOrder) {
    EXPECT_EQ(joinedRawValues(Placement::allCases()),
              "leftHalf rightHalf topHalf bottomHalf topLeft topRight bottomLeft bottomRight maximize "
              "previousDisplay nextDisplay ");
    EXPECT_EQ(joinedRawValues(SpaceAction::allCases()),
              "send1 send2 send3 send4 send5 send6 send7 send8 send9 "
              "follow1 follow2 follow3 follow4 follow5 follow6 follow7 follow8 follow9 ");
    for (const Placement p : Placement::allCases()) EXPECT_EQ(Placement::fromRawValue(p.rawValue()), p);
    for (const SpaceAction s : SpaceAction::allCases()) EXPECT_EQ(SpaceAction::fromRawValue(s.rawValue()), s);
}

TEST(WindowAction, RawValueLookupIsExact) {
    EXPECT_FALSE(Placement::fromRawValue("LeftHalf"));
    EXPECT_FALSE(Placement::fromRawValue(""));
    EXPECT_FALSE(Placement::fromRawValue("leftHalf "));
    EXPECT_FALSE(SpaceAction::fromRawValue("send10"));
    EXPECT_FALSE(SpaceAction::fromRawValue("send0"));
    const auto follow9 = SpaceAction::fromRawValue("follow9");
    ASSERT_TRUE(follow9);
    EXPECT_EQ(*follow9, SpaceAction::follow9);
    EXPECT_EQ(follow9->number(), 9);
    EXPECT_TRUE(follow9->followsWindow());
}

TEST(WindowAction, TitlesAndSteps) {
    EXPECT_EQ(SpaceAction(SpaceAction::follow3).title(), "Send to Desktop 3 & Follow");
    EXPECT_EQ(SpaceAction(SpaceAction::send3).title(), "Send to Desktop 3");
    EXPECT_FALSE(SpaceAction(SpaceAction::send3).followsWindow());
    EXPECT_EQ(Placement(Placement::maximize).title(), "Full Screen");
    EXPECT_EQ(Placement(Placement::topLeft).title(), "Upper Left Quarter");
    EXPECT_FALSE(Placement(Placement::maximize).displayStep());
    EXPECT_EQ(Placement(Placement::previousDisplay).displayStep(), -1);
    EXPECT_EQ(Placement(Placement::nextDisplay).displayStep(), 1);
    EXPECT_EQ(WindowAction::space(SpaceAction::follow1).title(), "Send to Desktop 1 & Follow");
}

TEST(WindowAction, KindsAreDistinctValues) {
    const auto left = WindowAction::placement(Placement::leftHalf);
    const auto send1 = WindowAction::space(SpaceAction::send1);
    EXPECT_NE(left, send1);
    EXPECT_EQ(left, WindowAction::placement(Placement::leftHalf));
    const std::unordered_set<WindowAction> set{left, send1, WindowAction::placement(Placement::leftHalf)};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(left.asPlacement(), Placement::leftHalf);
    EXPECT_FALSE(left.asSpace());
}

}  // namespace
}  // namespace corvane
