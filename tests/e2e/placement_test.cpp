// Placements on one screen: the real app, a real window manager, the
// default shortcuts typed through XTEST, frames read back from the server.

#include <gtest/gtest.h>

#include <cmath>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

struct PlacementRow {
    const char* chord;
    Placement placement;
};

// Consecutive rows always differ, so every press has a visible effect.
constexpr PlacementRow halvesAndQuarters[] = {
    {"Ctrl+Alt+Super+Left", Placement::leftHalf},   {"Ctrl+Alt+Super+Right", Placement::rightHalf},
    {"Ctrl+Alt+Super+Up", Placement::topHalf},      {"Ctrl+Alt+Super+Down", Placement::bottomHalf},
    {"Ctrl+Alt+Shift+Left", Placement::topLeft},    {"Ctrl+Alt+Shift+Up", Placement::topRight},
    {"Ctrl+Alt+Shift+Down", Placement::bottomLeft}, {"Ctrl+Alt+Shift+Right", Placement::bottomRight},
};

using Placements = AppTest;

TEST_F(Placements, HalvesAndQuartersFillTheirShareOfTheVisibleArea) {
    auto window = openWindow();
    const Rect area = primaryVisible();
    for (const PlacementRow& row : halvesAndQuarters) {
        EXPECT_TRUE(pressAndExpectFrame(row.chord, *window, Geometry::frame(row.placement, area, 0)));
    }
}

TEST_F(Placements, FullScreenRestoresTheFrameItReplaced) {
    auto window = openWindow();
    const Rect before = window->frame().value();
    const Rect full = Geometry::frame(Placement::maximize, primaryVisible(), 0);
    ASSERT_NE(before, full);

    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+M", *window, full));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+M", *window, before)) << "the second press restores";
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+M", *window, full)) << "and the third maximizes again";

    // A half in between becomes what the next restore returns to.
    const Rect left = Geometry::frame(Placement::leftHalf, primaryVisible(), 0);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Left", *window, left));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+M", *window, full));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+M", *window, left));
}

class GapPlacements : public AppTest {
protected:
    xharness::CorvaneOptions appOptions() override {
        Config config = Config::defaults();
        config.gap = 12;
        return {settingsFiles(config)};
    }
};

TEST_F(GapPlacements, StoredGapSurroundsAndSeparatesTheTiles) {
    auto window = openWindow();
    const Rect area = primaryVisible();
    const Rect left = Geometry::frame(Placement::leftHalf, area, 12);
    EXPECT_EQ(left.x, area.x + 12);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Left", *window, left));
    const Rect right = Geometry::frame(Placement::rightHalf, area, 12);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window, right));
    EXPECT_EQ(right.x - left.maxX(), 12) << "one gap between the halves, not two";
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Shift+Right", *window,
                                    Geometry::frame(Placement::bottomRight, area, 12)));
    EXPECT_TRUE(
        pressAndExpectFrame("Ctrl+Alt+Super+M", *window, Geometry::frame(Placement::maximize, area, 12)));
}

// A terminal only takes whole character cells, so its frame can fall short
// of the target by less than one cell on each side, never more.
TEST_F(Placements, TerminalLandsWithinOneCellOfTheTarget) {
    auto terminal = xharness::ClientWindow::openXterm(server(), "Terminal");
    const auto [cellWidth, cellHeight] = x().sizeIncrements(terminal->id()).value();
    const Rect area = primaryVisible();
    for (const PlacementRow& row : {halvesAndQuarters[0], halvesAndQuarters[7]}) {
        const Rect target = Geometry::frame(row.placement, area, 0);
        auto withinACell = [&, cw = double(cellWidth), ch = double(cellHeight)] {
            std::optional<Rect> f = terminal->frame();
            return f && std::abs(f->minX() - target.minX()) < cw &&
                   std::abs(f->maxX() - target.maxX()) < cw && std::abs(f->minY() - target.minY()) < ch &&
                   std::abs(f->maxY() - target.maxY()) < ch;
        };
        server().keyboard().press(row.chord);
        EXPECT_TRUE(x().waitFor(withinACell))
            << row.chord << ": frame " << ::testing::PrintToString(terminal->frame().value_or(Rect{}))
            << ", target " << ::testing::PrintToString(target) << ", cell " << cellWidth << " x "
            << cellHeight;
    }
}

}  // namespace
}  // namespace corvane::e2e
