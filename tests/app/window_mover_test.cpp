#include "app/placement/window_mover.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/placement/permissions.hpp"
#include "tests/app/desktop_fixture.hpp"

namespace corvane {
namespace {

using testing::addPrimaryScreen;
using testing::addRightScreen;
using testing::appPid;
using testing::frameOf;

constexpr Rect startFrame{100, 100, 800, 600};
// Full screen of the primary's visible area with gap 10.
constexpr Rect maximized{10, 35, 1420, 855};

class WindowMoverTest : public ::testing::Test {
protected:
    WindowMoverTest() { addPrimaryScreen(desktop); }

    std::uint32_t openWindow(const Rect& frame = startFrame) { return desktop.openWindow(appPid, frame); }

    fake::FakeDesktop desktop;
    WindowMover mover{desktop.platform()};
};

// --- Full screen and restore ---

TEST_F(WindowMoverTest, MaximizeRestoresOnSecondPressAndMaximizesAgainOnThird) {
    const auto window = openWindow();

    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), maximized);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), startFrame);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), maximized);
    EXPECT_EQ(desktop.feedback().beeps(), 0);
}

TEST_F(WindowMoverTest, APlacementInBetweenMakesItsFrameTheOneToRestore) {
    const auto window = openWindow();

    mover.move(Placement::maximize, 10);
    mover.move(Placement::leftHalf, 10);
    mover.move(Placement::maximize, 10);
    mover.move(Placement::maximize, 10);

    EXPECT_EQ(frameOf(desktop, window), (Rect{10, 35, 705, 855}));
}

struct ToleranceCase {
    const char* measure;
    Rect offset;  // added to the maximized frame after the first press
    bool restores;
};

void PrintTo(const ToleranceCase& c, std::ostream* out) {
    *out << c.measure;
}

class MaximizeToleranceTest : public WindowMoverTest, public ::testing::WithParamInterface<ToleranceCase> {};

TEST_P(MaximizeToleranceTest, SecondPressRestoresOnlyWithinFivePointsInEveryMeasure) {
    const auto& c = GetParam();
    const auto window = openWindow();
    mover.move(Placement::maximize, 10);
    const Rect nudged{maximized.x + c.offset.x, maximized.y + c.offset.y, maximized.width + c.offset.width,
                      maximized.height + c.offset.height};
    desktop.accessibility().setWindowFrame(window, nudged);

    mover.move(Placement::maximize, 10);

    if (c.restores) {
        EXPECT_EQ(frameOf(desktop, window), startFrame);
    } else {
        // Saved the nudged frame in place of the old one and maximized again;
        // the next press restores the nudged frame.
        EXPECT_EQ(frameOf(desktop, window), maximized);
        mover.move(Placement::maximize, 10);
        EXPECT_EQ(frameOf(desktop, window), nudged);
    }
}

INSTANTIATE_TEST_SUITE_P(Boundary, MaximizeToleranceTest,
                         ::testing::Values(ToleranceCase{"x 4.99", {4.99, 0, 0, 0}, true},
                                           ToleranceCase{"x 5.0", {5.0, 0, 0, 0}, false},
                                           ToleranceCase{"x -4.99", {-4.99, 0, 0, 0}, true},
                                           ToleranceCase{"y 4.99", {0, 4.99, 0, 0}, true},
                                           ToleranceCase{"y -5.0", {0, -5.0, 0, 0}, false},
                                           ToleranceCase{"width 4.99", {0, 0, 4.99, 0}, true},
                                           ToleranceCase{"width -5.0", {0, 0, -5.0, 0}, false},
                                           ToleranceCase{"height -4.99", {0, 0, 0, -4.99}, true},
                                           ToleranceCase{"height 5.0", {0, 0, 0, 5.0}, false}),
                         [](const auto& info) {
                             std::string name = info.param.measure;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

TEST_F(WindowMoverTest, AnApplicationThatFallsShortOfFullScreenIsMaximizedAgainInsteadOfRestored) {
    auto& ax = desktop.accessibility();
    const auto window = openWindow();
    ax.setMaximumSize(window, {1400, 855});  // 20 points narrower than full screen
    const Rect almost{10, 35, 1400, 855};

    mover.move(Placement::maximize, 10);
    ASSERT_EQ(frameOf(desktop, window), almost);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), almost) << "not restored";

    // The almost-maximized frame replaced the original one.
    ax.setMaximumSize(window, {5000, 5000});
    ax.setWindowFrame(window, maximized);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), almost);
}

// A terminal resizes in character cells and stops short of the maximized
// frame by up to one cell; it still counts as maximized, so the second press
// restores, and the almost-full frame never replaces the saved one.
TEST_F(WindowMoverTest, AWindowThatResizesInCellsRestoresThoughItFallsShortOfFullScreen) {
    auto& ax = desktop.accessibility();
    const auto window = openWindow({100, 100, 804, 598});
    ax.setSizeIncrement(window, {6, 13});

    mover.move(Placement::maximize, 10);
    const Rect cellShort{10, 35, 1416, 845};  // 1420 x 855 rounded down to whole cells
    ASSERT_EQ(frameOf(desktop, window), cellShort);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), (Rect{100, 100, 804, 598}));
    mover.move(Placement::maximize, 10);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), (Rect{100, 100, 804, 598})) << "the saved frame was kept";
}

struct IncrementCase {
    const char* measure;
    Rect offset;  // added to the maximized frame after the first press
    bool restores;
};

void PrintTo(const IncrementCase& c, std::ostream* out) {
    *out << c.measure;
}

class IncrementToleranceTest : public WindowMoverTest, public ::testing::WithParamInterface<IncrementCase> {};

// Steps of 3 x 13: the tolerance is the larger of five points and one step,
// on each axis separately (x and width horizontally, y and height vertically).
TEST_P(IncrementToleranceTest, OneStepOrFivePointsWhicheverIsMore) {
    const auto& c = GetParam();
    auto& ax = desktop.accessibility();
    const Rect whole{100, 100, 801, 598};  // whole steps, so a restore lands on it exactly
    const auto window = openWindow(whole);
    ax.setSizeIncrement(window, {3, 13});
    mover.move(Placement::maximize, 10);
    // Placed exactly where the test wants it, whatever the steps made of it.
    ax.setWindowFrame(window, Rect{maximized.x + c.offset.x, maximized.y + c.offset.y,
                                   maximized.width + c.offset.width, maximized.height + c.offset.height});

    mover.move(Placement::maximize, 10);

    EXPECT_EQ(frameOf(desktop, window) == whole, c.restores);
}

INSTANTIATE_TEST_SUITE_P(Boundary, IncrementToleranceTest,
                         ::testing::Values(IncrementCase{"width_4_99", {0, 0, -4.99, 0}, true},
                                           IncrementCase{"width_5", {0, 0, -5, 0}, false},
                                           IncrementCase{"x_5", {5, 0, 0, 0}, false},
                                           IncrementCase{"height_12_99", {0, 0, 0, -12.99}, true},
                                           IncrementCase{"height_13", {0, 0, 0, -13}, false},
                                           IncrementCase{"y_12", {0, 12, 0, 0}, true}),
                         [](const auto& info) { return std::string(info.param.measure); });

TEST_F(WindowMoverTest, AClosedWindowsSavedFrameIsDropped) {
    auto& ax = desktop.accessibility();
    const auto window = openWindow();
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(mover.savedFrameCount(), 1u);
    EXPECT_EQ(ax.watchCount(), 1u);

    ax.removeWindow(window);
    EXPECT_EQ(mover.savedFrameCount(), 0u);
    EXPECT_EQ(ax.watchCount(), 0u);

    // A restore or another placement ends the watch with the entry.
    const auto next = openWindow();
    mover.move(Placement::maximize, 10);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, next), startFrame);
    mover.move(Placement::maximize, 10);
    mover.move(Placement::leftHalf, 10);
    EXPECT_EQ(mover.savedFrameCount(), 0u);
    EXPECT_EQ(ax.watchCount(), 0u);
}

TEST_F(WindowMoverTest, TwoWindowsThatHashAlikeNeverUseEachOthersSavedFrame) {
    auto& ax = desktop.accessibility();
    const auto first = desktop.openWindow(appPid, startFrame, 42);
    mover.move(Placement::maximize, 10);

    // Another window with the same hash, within tolerance of full screen.
    const Rect nearlyMaximized{12, 36, 1419, 854};
    const auto second = desktop.openWindow(appPid + 1, nearlyMaximized, 42);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, second), maximized) << "not restored to the first window's frame";

    // The entry now belongs to the second window; the first is saved anew, not restored.
    ax.focusWindow(first);
    desktop.workspace().setFrontmost(appPid);
    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, first), maximized);
}

// --- Display moves ---

TEST_F(WindowMoverTest, DisplayMovesCarryTheFrameAndWrapAround) {
    addRightScreen(desktop);
    const auto window = openWindow();

    mover.move(Placement::nextDisplay, 10);
    EXPECT_EQ(frameOf(desktop, window), (Rect{1573, 90, 1067, 723}));
    mover.move(Placement::nextDisplay, 10);  // from the rightmost screen back to the leftmost
    EXPECT_EQ(frameOf(desktop, window), startFrame);
    mover.move(Placement::previousDisplay, 10);  // and from the leftmost to the rightmost
    EXPECT_EQ(frameOf(desktop, window), (Rect{1573, 90, 1067, 723}));
}

TEST_F(WindowMoverTest, DisplayMoveWithOneScreenBeepsAndLosesThePendingRestore) {
    const auto window = openWindow();
    mover.move(Placement::maximize, 10);

    mover.move(Placement::nextDisplay, 10);
    EXPECT_EQ(desktop.feedback().beeps(), 1);
    EXPECT_EQ(frameOf(desktop, window), maximized);

    mover.move(Placement::maximize, 10);
    EXPECT_EQ(frameOf(desktop, window), maximized) << "the restore entry is gone; maximized again";
}

TEST_F(WindowMoverTest, HalvesUseTheScreenTheWindowIsMostlyOn) {
    addRightScreen(desktop);
    const auto window = openWindow({1300, 100, 800, 600});  // mostly on the right screen
    mover.move(Placement::leftHalf, 0);
    EXPECT_EQ(frameOf(desktop, window), (Rect{1440, 0, 960, 1055}));
}

// --- Failure table ---

TEST_F(WindowMoverTest, UntrustedPlacementRaisesTheRequestOnlyAndEveryTime) {
    const auto window = openWindow();
    desktop.accessibility().setTrusted(false);

    mover.move(Placement::leftHalf, 0);
    mover.move(Placement::maximize, 0);

    EXPECT_EQ(desktop.accessibility().trustRequests(), 2);
    EXPECT_EQ(desktop.feedback().beeps(), 0);
    EXPECT_EQ(frameOf(desktop, window), startFrame);
    EXPECT_EQ(desktop.log().count("setAttribute"), 0u);
    EXPECT_EQ(desktop.log().count("frontmostApplication"), 0u);
}

TEST_F(WindowMoverTest, QuietFailuresNeitherMoveNorBeep) {
    // No frontmost application.
    mover.move(Placement::leftHalf, 0);
    // A window but no screens.
    desktop.screens().clear();
    const auto window = openWindow();
    mover.move(Placement::leftHalf, 0);
    // Screens, but an application that rejects every write.
    addPrimaryScreen(desktop);
    desktop.accessibility().setRejectsWrites(appPid, true);
    mover.move(Placement::leftHalf, 0);

    EXPECT_EQ(desktop.feedback().beeps(), 0);
    EXPECT_EQ(frameOf(desktop, window), startFrame);
}

TEST_F(WindowMoverTest, UnreadableWindowsBeep) {
    auto& ax = desktop.accessibility();
    const auto window = openWindow();
    const Element app = fake::FakeAccessibility::appElement(appPid);

    ax.clearFocusedWindow(appPid);
    mover.move(Placement::leftHalf, 0);
    EXPECT_EQ(desktop.feedback().beeps(), 1) << "no focused window";

    ax.setAttributeValue(app, AXName::focusedWindow, OtherValue{});
    mover.move(Placement::leftHalf, 0);
    EXPECT_EQ(desktop.feedback().beeps(), 2) << "focused window that is no element";

    ax.setAttributeValue(app, AXName::focusedWindow, ax.windowElement(window));
    ax.makeUnreadable(ax.windowElement(window), AXName::position);
    desktop.log().clear();
    mover.move(Placement::leftHalf, 0);
    EXPECT_EQ(desktop.feedback().beeps(), 3) << "position unreadable";
    EXPECT_EQ(desktop.log().count("copyAttribute AXSize"), 0u) << "size is not asked for";
    EXPECT_EQ(frameOf(desktop, window), startFrame);
}

TEST_F(WindowMoverTest, APositionOfTheWrongKindReadsAsTheOriginAndStillPlaces) {
    auto& ax = desktop.accessibility();
    const auto window = openWindow();
    ax.setAttributeValue(ax.windowElement(window), AXName::position, Size{1, 1});

    mover.move(Placement::leftHalf, 0);

    EXPECT_EQ(desktop.feedback().beeps(), 0);
    EXPECT_EQ(frameOf(desktop, window), (Rect{0, 25, 720, 875}));
}

// --- What the caller is told ---

TEST_F(WindowMoverTest, TheOutcomeSaysWhetherTheWindowWasPlacedAndWhyNot) {
    auto& ax = desktop.accessibility();
    EXPECT_EQ(mover.move(Placement::leftHalf, 0), ActionOutcome::failure("no active window"));

    const auto window = openWindow();
    EXPECT_EQ(mover.move(Placement::leftHalf, 0), ActionOutcome::success());
    EXPECT_EQ(mover.move(Placement::nextDisplay, 0),
              ActionOutcome::failure("there is no other display to move the window to"));

    ax.clearFocusedWindow(appPid);
    const auto nothing = mover.move(Placement::maximize, 0);
    EXPECT_FALSE(nothing.done);
    EXPECT_EQ(nothing.reason.rfind("nothing to move", 0), 0u) << nothing.reason;

    ax.focusWindow(window);
    desktop.screens().clear();
    EXPECT_FALSE(mover.move(Placement::leftHalf, 0).done);

    addPrimaryScreen(desktop);
    ax.setTrusted(false);
    EXPECT_FALSE(mover.move(Placement::leftHalf, 0).done);
}

// --- The frame write ---

struct EnhancedCase {
    const char* name;
    std::optional<AXValue> stored;  // absent: the application does not have the attribute
    bool unreadable;
    std::vector<std::string> writes;
};

void PrintTo(const EnhancedCase& c, std::ostream* out) {
    *out << c.name;
}

class FrameWriteTest : public WindowMoverTest, public ::testing::WithParamInterface<EnhancedCase> {};

TEST_P(FrameWriteTest, WritesSizePositionSizeAndSwitchesEnhancedInterfaceOffOnlyWhenItWasOn) {
    const auto& c = GetParam();
    auto& ax = desktop.accessibility();
    openWindow();
    const Element app = fake::FakeAccessibility::appElement(appPid);
    if (c.stored) ax.setAttributeValue(app, AXName::enhancedUserInterface, *c.stored);
    if (c.unreadable) ax.makeUnreadable(app, AXName::enhancedUserInterface);

    mover.move(Placement::leftHalf, 10);

    EXPECT_EQ(desktop.log().matching("setAttribute"), c.writes);
    EXPECT_EQ(ax.attributeValue(app, AXName::enhancedUserInterface), c.stored);
}

const std::vector<std::string> plainWrites = {"setAttribute AXSize 705x855", "setAttribute AXPosition 10,35",
                                              "setAttribute AXSize 705x855"};

INSTANTIATE_TEST_SUITE_P(
    EnhancedUserInterface, FrameWriteTest,
    ::testing::Values(EnhancedCase{"On",
                                   AXValue(true),
                                   false,
                                   {"setAttribute AXEnhancedUserInterface false",
                                    "setAttribute AXSize 705x855", "setAttribute AXPosition 10,35",
                                    "setAttribute AXSize 705x855",
                                    "setAttribute AXEnhancedUserInterface true"}},
                      EnhancedCase{"Off", AXValue(false), false, plainWrites},
                      EnhancedCase{"Missing", std::nullopt, false, plainWrites},
                      EnhancedCase{"NotBoolean", AXValue(OtherValue{}), false, plainWrites},
                      EnhancedCase{"Unreadable", AXValue(true), true, plainWrites}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Access request ---

TEST(PermissionsTest, AccessRequestPromptsEvenWhenTrustedAndOpensTheSettingsPage) {
    fake::FakeDesktop desktop;
    Permissions::requestAccess(desktop.accessibility(), desktop.workspace());
    EXPECT_EQ(desktop.accessibility().trustRequests(), 1);
    const auto urls = desktop.workspace().openedURLs();
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_NE(urls[0].find("Privacy_Accessibility"), std::string::npos);
    EXPECT_EQ(desktop.log().entries(), (std::vector<std::string>{"requestTrust", "openURL " + urls[0]}));
}

}  // namespace
}  // namespace corvane
