#include "app/desktops/discovery.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "app/desktops/failure.hpp"
#include "tests/desktops/desktop_world.hpp"

namespace corvane::desktops {
namespace {

using testing::DesktopWorld;
using testing::mainDisplay;
using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;
using Function = fake::FakeWindowServer::Function;

PlistValue num(std::int64_t i) {
    return PlistValue::integer(i);
}

PlistValue space(std::int64_t id, std::optional<std::int64_t> type) {
    Dict d{{"ManagedSpaceID", num(id)}, {"id64", num(id)}};
    if (type) d["type"] = num(*type);
    return d;
}

PlistValue display(const std::string& identifier, std::int64_t current, std::optional<PlistValue> spaces) {
    Dict d{{"Display Identifier", identifier}, {"Current Space", space(current, 0)}};
    if (spaces) d["Spaces"] = *spaces;
    return d;
}

Failure::Case failureOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Failure& failure) {
        return failure.failureCase();
    }
    ADD_FAILURE() << "no failure thrown";
    return Failure::Case::moveFailed;
}

TEST(DisplayReport, OnlyOrdinaryDesktopsAreNumbered) {
    const auto displays = Discovery::displaysFrom(PlistValue(
        Array{display("A", 10, Array{space(10, 0), space(11, 4), space(12, 0), space(13, std::nullopt)})}));
    ASSERT_EQ(displays.size(), 1u);
    const auto& d = displays[0];
    EXPECT_EQ(d.identifier, "A");
    EXPECT_EQ(d.current, 10u);
    ASSERT_EQ(d.spaces.size(), 4u);
    EXPECT_EQ(d.spaces[3].type, -1);  // no type: kept, never a desktop
    ASSERT_EQ(d.desktops().size(), 2u);
    EXPECT_EQ(d.desktops()[1].id, 12u);  // desktop 2 is the third space
}

TEST(DisplayReport, SpaceIdentifierPrefersManagedSpaceIDAndNeedsANumber) {
    EXPECT_EQ(Discovery::spaceID(Dict{{"ManagedSpaceID", num(7)}, {"id64", num(9)}}), 7u);
    EXPECT_EQ(Discovery::spaceID(Dict{{"ManagedSpaceID", "7"}, {"id64", num(9)}}), 9u);
    EXPECT_EQ(Discovery::spaceID(Dict{{"id64", PlistValue::real(5.0)}}), 5u);
    EXPECT_EQ(Discovery::spaceID(Dict{{"id64", true}}), std::nullopt);
    EXPECT_EQ(Discovery::spaceID(Dict{{"id64", PlistValue::real(std::nan(""))}}), std::nullopt);
    EXPECT_EQ(Discovery::spaceID(Dict{{"type", num(0)}}), std::nullopt);
    // Identifiers are unsigned 64-bit values carried in the integer's bits.
    EXPECT_EQ(Discovery::spaceID(Dict{{"id64", num(-2)}}), 0xFFFFFFFFFFFFFFFEu);
}

TEST(DisplayReport, DisplaysWithoutSpacesStayListedEmpty) {
    const auto displays = Discovery::displaysFrom(PlistValue(Array{
        display("missing", 1, std::nullopt),
        display("wrong kind", 2, PlistValue("spaces")),
        display("not all dictionaries", 3, Array{space(3, 0), num(4)}),
        display("id-less space dropped", 4, Array{Dict{{"type", num(0)}}, space(5, 0)}),
    }));
    ASSERT_EQ(displays.size(), 4u);
    EXPECT_TRUE(displays[0].spaces.empty());
    EXPECT_TRUE(displays[1].spaces.empty());
    EXPECT_TRUE(displays[2].spaces.empty());
    ASSERT_EQ(displays[3].spaces.size(), 1u);
    EXPECT_EQ(displays[3].spaces[0].id, 5u);
}

TEST(DisplayReport, UnusableDisplaysAreLeftOutAndNoneLeftIsNoDisplay) {
    const PlistValue noIdentifier = Dict{{"Current Space", space(1, 0)}, {"Spaces", Array{}}};
    const PlistValue numericIdentifier = Dict{{"Display Identifier", num(1)}, {"Current Space", space(1, 0)}};
    const PlistValue currentWithoutId =
        Dict{{"Display Identifier", "B"}, {"Current Space", Dict{{"type", num(0)}}}};
    const PlistValue currentNotDict = Dict{{"Display Identifier", "C"}, {"Current Space", num(1)}};

    const auto displays = Discovery::displaysFrom(PlistValue(Array{
        noIdentifier, display("kept", 9, Array{}), numericIdentifier, currentWithoutId, currentNotDict}));
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_EQ(displays[0].identifier, "kept");

    const auto noDisplay = Failure::Case::noDisplay;
    EXPECT_EQ(failureOf([&] {
                  Discovery::displaysFrom(PlistValue(Array{noIdentifier, currentWithoutId}));
              }),
              noDisplay);
    EXPECT_EQ(failureOf([] { Discovery::displaysFrom(std::nullopt); }), noDisplay);
    EXPECT_EQ(failureOf([] { Discovery::displaysFrom(PlistValue(Array{})); }), noDisplay);
    EXPECT_EQ(failureOf([] { Discovery::displaysFrom(PlistValue(Dict{})); }), noDisplay);
    // One stray entry spoils the whole report rather than being guessed around.
    EXPECT_EQ(failureOf([] {
                  Discovery::displaysFrom(PlistValue(Array{display("A", 1, Array{}), "junk"}));
              }),
              noDisplay);
}

TEST(ManagedDisplays, ReadsTheServerAndFailsWithoutIt) {
    DesktopWorld world;
    Discovery discovery(world.server, world.desk.accessibility(), world.desk.clock());
    const auto displays = discovery.managedDisplays();
    ASSERT_EQ(displays.size(), 1u);
    EXPECT_EQ(displays[0].identifier, mainDisplay);
    EXPECT_EQ(displays[0].current, world.desktops[0]);
    EXPECT_EQ(displays[0].desktops().size(), 3u);

    world.server.replaceDisplayReport(PlistValue("not a list"));
    EXPECT_EQ(failureOf([&] { discovery.managedDisplays(); }), Failure::Case::noDisplay);
    world.server.clearReplacedReports();
    world.server.setFunctionMissing(Function::mainConnection);
    EXPECT_EQ(failureOf([&] { discovery.managedDisplays(); }), Failure::Case::noDisplay);
    world.server.setFunctionMissing(Function::mainConnection, false);
    world.server.setFunctionMissing(Function::managedDisplaySpaces);
    EXPECT_EQ(failureOf([&] { discovery.managedDisplays(); }), Failure::Case::noDisplay);
}

TEST(WindowSpaces, EveryProblemIsAnEmptyList) {
    DesktopWorld world;
    auto& server = world.server;
    Discovery discovery(server, world.desk.accessibility(), world.desk.clock());
    server.placeWindow(world.window, {world.desktops[0], world.desktops[2]});
    EXPECT_EQ(discovery.windowSpaces(world.window), (std::vector{world.desktops[0], world.desktops[2]}));
    EXPECT_EQ(server.windowSpacesMasks(), std::vector<std::int32_t>{7});

    server.replaceWindowSpacesReport(PlistValue(Array{num(1), "2"}));
    EXPECT_TRUE(discovery.windowSpaces(world.window).empty());
    server.replaceWindowSpacesReport(PlistValue(num(1)));
    EXPECT_TRUE(discovery.windowSpaces(world.window).empty());
    server.clearReplacedReports();
    server.setFunctionMissing(Function::spacesForWindows);
    EXPECT_TRUE(discovery.windowSpaces(world.window).empty());
    server.setFunctionMissing(Function::spacesForWindows, false);
    server.setFunctionMissing(Function::mainConnection);
    EXPECT_TRUE(discovery.windowSpaces(world.window).empty());
}

struct DisplayForTest : ::testing::Test, DesktopWorld {
    Discovery discovery{server, desk.accessibility(), desk.clock()};
    Display displayFor() {
        return discovery.displayFor(windowElement(), screenInfos(desk.screens()),
                                    discovery.managedDisplays());
    }
};

TEST_F(DisplayForTest, ScreenUUIDMatchesIdentifierIgnoringCase) {
    server.removeDisplay(mainDisplay);
    server.addDisplayWithDesktops("ABCDEF01-2345-6789-ABCD-EF0123456789", 2);
    desk.screens().setDisplays({{Screen{{0, 0, 1440, 900}, {0, 0, 1440, 875}, 1},
                                 "abcdef01-2345-6789-abcd-ef0123456789",
                                 {0, 0, 1440, 900}}});
    EXPECT_EQ(displayFor().identifier, "ABCDEF01-2345-6789-ABCD-EF0123456789");
}

TEST_F(DisplayForTest, PicksTheDisplayOfTheWindowsScreen) {
    desk.addScreen({1440, 0, 1920, 1080}, {1440, 0, 1920, 1080});  // display 2, to the right
    const std::string second = "00000000-0000-0000-0000-000000000002";
    server.addDisplayWithDesktops(second, 1);
    desk.accessibility().setWindowFrame(window, {1600, 100, 800, 600});
    EXPECT_EQ(displayFor().identifier, second);
}

TEST_F(DisplayForTest, UnknownFrameScreenOrDisplayIsNoDisplay) {
    const auto noDisplay = Failure::Case::noDisplay;
    // No screen at all.
    EXPECT_EQ(failureOf([&] { discovery.displayFor(windowElement(), {}, discovery.managedDisplays()); }),
              noDisplay);
    // The screen's display is not among the window server's.
    desk.screens().setDisplays(
        {{Screen{{0, 0, 1440, 900}, {0, 0, 1440, 875}, 1}, "other", {0, 0, 1440, 900}}});
    EXPECT_EQ(failureOf([&] { displayFor(); }), noDisplay);
    desk.screens().setDisplays(
        {{Screen{{0, 0, 1440, 900}, {0, 0, 1440, 875}, 1}, mainDisplay, {0, 0, 1440, 900}}});
    EXPECT_EQ(displayFor().identifier, mainDisplay);
    // A size of the wrong kind.
    desk.accessibility().setAttributeValue(windowElement(), AXName::size, Point{1, 2});
    EXPECT_EQ(failureOf([&] { displayFor(); }), noDisplay);
    // An unreadable position.
    desk.accessibility().makeUnreadable(windowElement(), AXName::position);
    EXPECT_EQ(failureOf([&] { displayFor(); }), noDisplay);
}

TEST(ScreenInfos, ConvertFramesAgainstThePrimaryAndKeepBounds) {
    DesktopWorld world;
    world.desk.addScreen({0, 900, 1920, 1080}, {0, 900, 1920, 1050});  // above the primary
    const auto infos = screenInfos(world.desk.screens());
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0].uuid, mainDisplay);
    EXPECT_EQ(infos[0].axFrame, (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(infos[1].axFrame, (Rect{0, -1080, 1920, 1080}));
    EXPECT_EQ(infos[1].cgBounds, world.desk.screens().displayBounds(2));
}

struct WaitTest : ::testing::Test, DesktopWorld {
    Discovery discovery{server, desk.accessibility(), desk.clock()};
};

TEST_F(WaitTest, WindowWaitEndsAtThePollThatSeesIt) {
    server.performBridgedMove({window}, desktops[1]);  // lands after 0.12 s
    EXPECT_TRUE(discovery.waitForWindow(window, desktops[1], Clock::Duration(2.0)));
    // Seen within one poll interval of landing; no poll sleeps longer than that.
    EXPECT_GE(desk.clock().elapsed(), 0.12);
    EXPECT_LE(desk.clock().elapsed(), 0.12 + 0.05);
    for (const auto sleep : desk.clock().sleeps()) EXPECT_LE(sleep.count(), 0.05);
}

TEST_F(WaitTest, AWindowThatLandsAtOnceIsSeenWithinMilliseconds) {
    server.setArrivalDelay(Clock::Duration(0.001));
    server.performBridgedMove({window}, desktops[1]);
    EXPECT_TRUE(discovery.waitForWindow(window, desktops[1], Clock::Duration(2.0)));
    EXPECT_LT(desk.clock().elapsed(), 0.005);
}

// Quitting must not wait out a 2 s poll, nor report its end as a failure.
TEST_F(WaitTest, ACancelledWaitEndsBeforeItsNextSleep) {
    int checks = 0;
    const bool seen = pollUntil(
        desk.clock(), Clock::Duration(2.0), [&] { return ++checks > 100; }, [&] { return checks == 3; });
    EXPECT_FALSE(seen);
    EXPECT_EQ(checks, 3);
    EXPECT_LT(desk.clock().elapsed(), 0.05);
}

TEST_F(WaitTest, WindowWaitGivesUpAtTheTimeoutAndChecksAtLeastOnce) {
    EXPECT_FALSE(discovery.waitForWindow(window, desktops[1], Clock::Duration(2.0)));
    EXPECT_GE(desk.clock().elapsed(), 2.0);
    EXPECT_LT(desk.clock().elapsed(), 2.0 + 0.05 + 1e-9);

    const auto masksBefore = server.windowSpacesMasks().size();
    EXPECT_TRUE(discovery.waitForWindow(window, desktops[0], Clock::Duration(0)));
    EXPECT_EQ(server.windowSpacesMasks().size(), masksBefore + 1);
}

TEST_F(WaitTest, SpaceWaitTreatsAnUnreadableReportAsNotYet) {
    server.setFunctionMissing(Function::managedDisplaySpaces);
    EXPECT_FALSE(discovery.waitForCurrentSpace(desktops[0], mainDisplay, Clock::Duration(1.5)));
    EXPECT_GE(desk.clock().elapsed(), 1.5);
    server.setFunctionMissing(Function::managedDisplaySpaces, false);

    server.setCurrentSpace(0, mainDisplay, desktops[2]);  // takes effect after 0.1 s
    EXPECT_TRUE(discovery.waitForCurrentSpace(desktops[2], mainDisplay, Clock::Duration(1.5)));
    // Identifiers are compared exactly here.
    const auto upper = server.addDisplayWithDesktops("ABC", 1);
    EXPECT_TRUE(discovery.waitForCurrentSpace(upper[0], "ABC", Clock::Duration(0.1)));
    EXPECT_FALSE(discovery.waitForCurrentSpace(upper[0], "abc", Clock::Duration(0.1)));
}

}  // namespace
}  // namespace corvane::desktops
