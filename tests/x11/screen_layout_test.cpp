// The pure halves of the screen and desktop reports: monitors and struts to
// the screen list, and the desktop report every display shares.
#include <gtest/gtest.h>

#include "core/geometry.hpp"
#include "ports/x11/struts.hpp"
#include "ports/x11/x11_screens.hpp"
#include "ports/x11/x11_window_server.hpp"

namespace corvane::x11 {
namespace {

// Two monitors of different heights side by side on one wide screen, as the
// end-to-end tests lay them out; the primary is listed first. The root is
// exactly as large as the two together.
const std::vector<Monitor> kTwoMonitors{{100, 0, 0, 1920, 1080, true}, {101, 1920, 0, 1280, 1024, false}};
const Rect kScreen{0, 0, 3200, 1080};

TEST(StrutsTest, BandsCutOnlyTheMonitorsTheyReach) {
    const Rect left{0, 0, 1920, 1080}, right{1920, 0, 1280, 1024};
    // A 30-pixel panel at the bottom of the shorter right monitor: measured
    // from the bottom of the whole layout it is 86 tall, and spans x 2900-3199.
    const Strut panel{0, 0, 0, 86, 0, 0, 0, 0, 0, 0, 2900, 3199};
    EXPECT_EQ(Struts::visibleArea(right, kScreen, {panel}), (Rect{1920, 0, 1280, 994}));
    EXPECT_EQ(Struts::visibleArea(left, kScreen, {panel}), left);

    // A plain strut reaches along its whole edge: a top bar cuts both.
    const Strut bar = Struts::fromPlain(0, 0, 25, 0);
    EXPECT_EQ(Struts::visibleArea(left, kScreen, {bar}), (Rect{0, 25, 1920, 1055}));
    EXPECT_EQ(Struts::visibleArea(right, kScreen, {bar}), (Rect{1920, 25, 1280, 999}));

    // A 30-pixel bottom strut of the full layout does not reach the shorter monitor.
    EXPECT_EQ(Struts::visibleArea(right, kScreen, {Struts::fromPlain(0, 0, 0, 30)}), right);
}

TEST(StrutsTest, SideStrutsAndBandEndsAreInclusive) {
    const Rect left{0, 0, 1920, 1080}, right{1920, 0, 1280, 1024};
    // A dock on the left edge, spanning rows 0-1079, and one on the right edge.
    const Strut leftDock{48, 0, 0, 0, 0, 1079, 0, 0, 0, 0, 0, 0};
    const Strut rightDock{0, 64, 0, 0, 0, 0, 100, 100, 0, 0, 0, 0};
    EXPECT_EQ(Struts::visibleArea(left, kScreen, {leftDock, rightDock}), (Rect{48, 0, 1872, 1080}));
    EXPECT_EQ(Struts::visibleArea(right, kScreen, {leftDock, rightDock}), (Rect{1920, 0, 1216, 1024}));
    // A top band ending on the last column before the right monitor misses it.
    const Strut topOfLeft{0, 0, 20, 0, 0, 0, 0, 0, 0, 1919, 0, 0};
    EXPECT_EQ(Struts::visibleArea(right, kScreen, {topOfLeft}), right);
    EXPECT_EQ(Struts::visibleArea(left, kScreen, {topOfLeft}), (Rect{0, 20, 1920, 1060}));
}

TEST(StrutsTest, StrutsAreMeasuredFromTheRootEvenWhereItOutgrowsTheMonitors) {
    // The root reaches 400 pixels right of and 120 below the monitors. A
    // 30-pixel panel at the bottom of the shorter right monitor (y 994-1023)
    // reserves everything below its top edge: 1200 - 994 = 206 from the
    // root's bottom. The same value read against the monitors' bounding box
    // would cut the monitor at 874.
    const Rect root{0, 0, 3600, 1200};
    const Rect left{0, 0, 1920, 1080}, right{1920, 0, 1280, 1024};
    const Strut panel{0, 0, 0, 206, 0, 0, 0, 0, 0, 0, 2900, 3199};
    EXPECT_EQ(Struts::visibleArea(right, root, {panel}), (Rect{1920, 0, 1280, 994}));
    EXPECT_EQ(Struts::visibleArea(left, root, {panel}), left);

    // A right dock along the right monitor's edge is 3600 - 3136 = 464 wide
    // from the root's right edge; a plain bottom strut smaller than the
    // unused band below the monitors reaches neither.
    const Strut rightDock{0, 464, 0, 0, 0, 0, 0, 1023, 0, 0, 0, 0};
    EXPECT_EQ(Struts::visibleArea(right, root, {rightDock}), (Rect{1920, 0, 1216, 1024}));
    EXPECT_EQ(Struts::visibleArea(left, root, {Struts::fromPlain(0, 0, 0, 100)}), left);
    EXPECT_EQ(Struts::visibleArea(right, root, {Struts::fromPlain(0, 0, 0, 100)}), right);
}

TEST(StrutsTest, AStrutSwallowingTheMonitorLeavesItWhole) {
    const Rect right{1920, 0, 1280, 1024};
    EXPECT_EQ(Struts::visibleArea(right, kScreen, {Struts::fromPlain(0, 0, 0, 1080)}), right);
}

TEST(ScreenLayoutTest, FramesAreBottomLeftRelativeToThePrimaryAndConvertBackExactly) {
    const Strut panel{0, 0, 0, 86, 0, 0, 0, 0, 0, 0, 2900, 3199};
    const auto screens = X11Screens::toScreens(kTwoMonitors, {panel}, kScreen);
    ASSERT_EQ(screens.size(), 2u);
    EXPECT_EQ(screens[0], (Screen{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 100}));
    EXPECT_EQ(screens[1], (Screen{{1920, 56, 1280, 1024}, {1920, 86, 1280, 994}, 101}));

    const double primaryHeight = screens[0].frame.height;
    EXPECT_EQ(Geometry::toAX(screens[1].frame, primaryHeight), (Rect{1920, 0, 1280, 1024}));
    EXPECT_EQ(Geometry::toAX(screens[1].visibleFrame, primaryHeight), (Rect{1920, 0, 1280, 994}));
}

TEST(ScreenLayoutTest, APrimaryAwayFromTheOriginIsTheOriginOfBothSpaces) {
    // The primary stands to the right of and below a taller secondary.
    const std::vector<Monitor> monitors{{7, 1280, 200, 1920, 1080, true}, {8, 0, 0, 1280, 1400, false}};
    const auto screens = X11Screens::toScreens(monitors, {}, Rect{0, 0, 3200, 1400});
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(screens[1].frame, (Rect{-1280, -120, 1280, 1400}));
    EXPECT_EQ(Geometry::toAX(screens[1].frame, 1080), (Rect{-1280, -200, 1280, 1400}));
}

TEST(ScreenLayoutTest, MonitorsWithoutANameAreNumberedByPosition) {
    EXPECT_EQ(X11Screens::displayNumber(Monitor{XCB_ATOM_NONE, 0, 0, 10, 10, true}, 0), 1u);
    EXPECT_EQ(X11Screens::displayNumber(Monitor{345, 0, 0, 10, 10, true}, 0), 345u);
    EXPECT_TRUE(X11Screens::toScreens({}, {}, kScreen).empty());
}

TEST(ScreenLayoutTest, PrimaryIsMovedToTheFrontKeepingTheRestInOrder) {
    const std::vector<Monitor> listed{{1, 0, 0, 5, 5, false}, {2, 5, 0, 5, 5, false}, {3, 10, 0, 5, 5, true}};
    const auto ordered = primaryFirst(listed);
    EXPECT_EQ(ordered[0].name, 3u);
    EXPECT_EQ(ordered[1].name, 1u);
    EXPECT_EQ(ordered[2].name, 2u);
    EXPECT_EQ(primaryFirst({listed[0], listed[1]})[0].name, 1u);
}

TEST(DesktopReportTest, EveryDisplayListsTheSharedDesktopsWithIdsFromOne) {
    const PlistValue report = X11WindowServer::displaySpaces({"left", "right"}, 3, 1);
    const auto* displays = report.as<PlistValue::Array>();
    ASSERT_TRUE(displays);
    ASSERT_EQ(displays->size(), 2u);
    const PlistValue::Array spaces{
        PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(1)}, {"type", PlistValue::integer(0)}},
        PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(2)}, {"type", PlistValue::integer(0)}},
        PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(3)}, {"type", PlistValue::integer(0)}}};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto* display = (*displays)[i].as<PlistValue::Dictionary>();
        ASSERT_TRUE(display);
        EXPECT_EQ(display->at("Display Identifier"), PlistValue(i == 0 ? "left" : "right"));
        EXPECT_EQ(display->at("Current Space"),
                  PlistValue(PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(2)}}));
        EXPECT_EQ(display->at("Spaces"), PlistValue(spaces));
    }
}

}  // namespace
}  // namespace corvane::x11
