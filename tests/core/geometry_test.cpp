#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "core/geometry.hpp"

namespace corvane {

// Lets failures print rectangles readably.
void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

namespace {

using P = Placement;

struct FrameRow {
    const char* layout;
    Rect area;
    double gap;
    Placement placement;
    Rect expected;
};

// Areas are in top-left space: a row on a second monitor left of (or above)
// the primary one has negative coordinates.
const FrameRow kFrameRows[] = {
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::leftHalf, {10, 35, 705, 855}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::rightHalf, {725, 35, 705, 855}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::topHalf, {10, 35, 1420, 422}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::bottomHalf, {10, 467, 1420, 423}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::topLeft, {10, 35, 705, 422}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::topRight, {725, 35, 705, 422}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::bottomLeft, {10, 467, 705, 423}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::bottomRight, {725, 467, 705, 423}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::maximize, {10, 35, 1420, 855}},
    {"laptop, gap 10", {0, 25, 1440, 875}, 10, P::nextDisplay, {10, 35, 1420, 855}},
    {"odd width, no gap", {0, 0, 1441, 900}, 0, P::leftHalf, {0, 0, 720, 900}},
    {"odd width, no gap", {0, 0, 1441, 900}, 0, P::rightHalf, {720, 0, 721, 900}},
    {"odd inner height", {0, 0, 800, 600}, 5, P::topHalf, {5, 5, 790, 292}},
    {"odd inner height", {0, 0, 800, 600}, 5, P::bottomHalf, {5, 302, 790, 293}},
    {"second monitor left", {-1920, -180, 1920, 1055}, 8, P::topRight, {-956, -172, 948, 515}},
    {"second monitor left", {-1920, -180, 1920, 1055}, 8, P::bottomLeft, {-1912, 351, 948, 516}},
    {"second monitor left", {-1920, -180, 1920, 1055}, 8, P::previousDisplay, {-1912, -172, 1904, 1039}},
    {"second monitor above", {0, -1080, 1920, 1080}, 40, P::bottomRight, {980, -520, 900, 480}},
    {"fractional origin", {0.5, 23.5, 1001, 700}, 0, P::leftHalf, {0.5, 23.5, 500, 700}},
    {"fractional origin", {0.5, 23.5, 1001, 700}, 0, P::rightHalf, {500.5, 23.5, 501, 700}},
    {"negative width", {1440, 0, -1440, 900}, 0, P::leftHalf, {0, 0, 720, 900}},
};

TEST(GeometryFrame, Table) {
    for (const FrameRow& row : kFrameRows) {
        EXPECT_EQ(Geometry::frame(row.placement, row.area, row.gap), row.expected)
            << row.layout << ", " << row.placement.rawValue();
    }
}

// Areas too small for the gap: no negative sizes, nothing outside the area.
TEST(GeometryFrame, TinyAreasStayInsideWithNonNegativeSizes) {
    for (double side = 0; side <= 130; side += 0.5) {
        for (double gap = 0; gap <= 40; gap += 1) {
            const Rect area{100, -50, side, side * 0.75};
            for (const Placement p : Placement::allCases()) {
                const Rect r = Geometry::frame(p, area, gap);
                ASSERT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && r.width >= 0 && r.height >= 0)
                    << side << " " << gap << " " << p.rawValue();
                ASSERT_TRUE(r.x >= area.minX() && r.x + r.width <= area.maxX() && r.y >= area.minY() &&
                            r.y + r.height <= area.maxY())
                    << side << " " << gap << " " << p.rawValue();
            }
        }
    }
    EXPECT_EQ(Geometry::frame(P::maximize, {0, 0, 50, 50}, 40), (Rect{25, 25, 0, 0}));
    EXPECT_EQ(Geometry::frame(P::rightHalf, {0, 0, 100, 100}, 40), (Rect{60, 40, 0, 20}));
}

TEST(GeometryToAX, FlipsAroundPrimaryHeight) {
    EXPECT_EQ(Geometry::toAX({0, 0, 1440, 900}, 900), (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(Geometry::toAX({0, 900, 1920, 1080}, 900), (Rect{0, -1080, 1920, 1080}));
    const Rect r{-300, 17.5, 800, 600};
    EXPECT_EQ(Geometry::toAX(Geometry::toAX(r, 1117), 1117), r);
}

const std::vector<Rect> kTwoScreens{{0, 0, 1440, 900}, {1440, 0, 1920, 1080}};

TEST(GeometryScreenIndex, LargestOverlapThenNearestCentre) {
    EXPECT_FALSE(Geometry::screenIndex({0, 0, 10, 10}, {}));
    EXPECT_EQ(Geometry::screenIndex({1000, 100, 800, 600}, kTwoScreens), 0u);
    EXPECT_EQ(Geometry::screenIndex({1200, 100, 800, 600}, kTwoScreens), 1u);
    EXPECT_EQ(Geometry::screenIndex({1040, 100, 800, 600}, kTwoScreens), 0u);  // tie: earlier screen
    EXPECT_EQ(Geometry::screenIndex({4000, 100, 200, 200}, kTwoScreens), 1u);
    EXPECT_EQ(Geometry::screenIndex({-500, -500, 100, 100}, kTwoScreens), 0u);
    EXPECT_EQ(Geometry::screenIndex({3360, 0, 100, 100}, kTwoScreens), 1u);  // touching an edge only
    EXPECT_EQ(Geometry::screenIndex({5000, 5000, 10, 10}, std::vector<Rect>{{0, 0, 1440, 900}}), 0u);
}

TEST(GeometryAdjacentScreen, StepsLeftToRightAndWraps) {
    EXPECT_EQ(Geometry::adjacentScreen(1, 1, kTwoScreens), 0u);
    EXPECT_EQ(Geometry::adjacentScreen(0, -1, kTwoScreens), 1u);
    // List order differs from left-to-right order: C(2) A(1) B(0).
    const std::vector<Rect> three{{1440, 0, 1920, 1080}, {0, 0, 1440, 900}, {-1920, 0, 1920, 1080}};
    EXPECT_EQ(Geometry::adjacentScreen(1, 1, three), 0u);
    EXPECT_EQ(Geometry::adjacentScreen(2, -1, three), 0u);
    EXPECT_EQ(Geometry::adjacentScreen(0, 1, three), 2u);
    // Aligned left edges: the upper one comes first.
    const std::vector<Rect> stacked{{0, 0, 1440, 900}, {0, -1080, 1920, 1080}};
    EXPECT_EQ(Geometry::adjacentScreen(1, 1, stacked), 0u);
    EXPECT_EQ(Geometry::adjacentScreen(0, 1, std::vector<Rect>{{0, 0, 1, 1}}), 0u);
    EXPECT_EQ(Geometry::adjacentScreen(5, 1, kTwoScreens), 5u);
    EXPECT_EQ(Geometry::adjacentScreen(3, -1, {}), 3u);
}

TEST(GeometryMoved, ScalesRoundsAndClamps) {
    const Rect laptop{0, 25, 1440, 875};
    const Rect external{1440, 0, 1920, 1055};
    EXPECT_EQ(Geometry::moved({100, 100, 800, 600}, laptop, external), (Rect{1573, 90, 1067, 723}));
    EXPECT_EQ(Geometry::moved({1000, 500, 800, 600}, laptop, external), (Rect{2293, 332, 1067, 723}));
    const Rect same{0, 0, 1000, 800};
    EXPECT_EQ(Geometry::moved({10.4, 20.6, 300.5, 200.49}, same, same), (Rect{10, 21, 301, 200}));
    EXPECT_EQ(Geometry::moved({900, 700, 300, 300}, same, same), (Rect{700, 500, 300, 300}));
    // Halves round away from zero, also at negative coordinates.
    const Rect left{-1920, 0, 1920, 1080};
    EXPECT_EQ(Geometry::moved({-1000.5, 0, 100, 100}, left, left), (Rect{-1001, 0, 100, 100}));
}

// A source area without width (or height) keeps the frame's size and offset on
// that axis instead of dividing by zero; the result still lies in the destination.
TEST(GeometryMoved, ZeroSizedSourceGivesFiniteFrameInside) {
    EXPECT_EQ(Geometry::moved({100, 90, 800, 600}, {0, 0, 0, 900}, {1440, 0, 1920, 1080}),
              (Rect{1540, 108, 800, 720}));
    EXPECT_EQ(Geometry::moved({5, 5, 100, 100}, {0, 0, 0, 0}, {10, 10, 0, 0}), (Rect{10, 10, 0, 0}));

    std::mt19937 rng(7);
    // Whole-point areas, as screens have: then the clamps are exact.
    std::uniform_int_distribution<int> coordInt(-3000, 3000);
    std::uniform_int_distribution<int> extentInt(0, 2500);
    auto coord = [&](std::mt19937& g) { return double(coordInt(g)) + (g() % 2 ? 0.25 : 0); };
    auto extent = [&](std::mt19937& g) { return double(extentInt(g)); };
    auto maybeZero = [&](double v) { return rng() % 4 == 0 ? 0.0 : v; };
    for (int i = 0; i < 5000; ++i) {
        const Rect f{coord(rng), coord(rng), extent(rng), extent(rng)};
        const Rect from{coord(rng), coord(rng), maybeZero(extent(rng)), maybeZero(extent(rng))};
        const Rect to{coord(rng), coord(rng), maybeZero(extent(rng)), maybeZero(extent(rng))};
        const Rect r = Geometry::moved(f, from, to);
        ASSERT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) &&
                    std::isfinite(r.height));
        ASSERT_TRUE(r.width >= 0 && r.height >= 0 && r.x >= to.x && r.y >= to.y &&
                    r.x + r.width <= to.x + to.width && r.y + r.height <= to.y + to.height)
            << ::testing::PrintToString(f) << ::testing::PrintToString(from) << ::testing::PrintToString(to)
            << ::testing::PrintToString(r);
    }
}

// Garbage from a misbehaving window system must not bring the process down.
TEST(Geometry, NonFiniteInputsDoNotCrash) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<Rect> odd{
        {nan, 0, 10, 10}, {0, 0, inf, 10}, {-inf, nan, 5, -inf}, Rect::null(), {0, 0, 10, 10}};
    for (const Rect& a : odd) {
        for (const Rect& b : odd) {
            (void)Geometry::moved(a, b, odd.back());
            (void)Geometry::frame(P::bottomRight, a, nan);
            EXPECT_TRUE(Geometry::screenIndex(a, odd).has_value());
            EXPECT_LT(Geometry::adjacentScreen(1, 1, odd), odd.size());
        }
    }
    EXPECT_TRUE(Geometry::frame(P::leftHalf, Rect::null(), 10).isNull());
}

TEST(Rect, NullInsetAndIntersection) {
    EXPECT_TRUE(Rect::null().isNull());
    EXPECT_EQ(Rect::null().w(), 0);
    EXPECT_TRUE((Rect{0, 0, 19, 100}).inset(10).isNull());
    EXPECT_EQ((Rect{0, 0, 20, 100}).inset(10), (Rect{10, 10, 0, 80}));
    EXPECT_TRUE((Rect{0, 0, 10, 10}).intersection({20, 0, 10, 10}).isNull());
    EXPECT_EQ((Rect{0, 0, 10, 10}).intersection({5, -5, 10, 10}), (Rect{5, 0, 5, 5}));
    EXPECT_EQ((Rect{10, 10, -10, -10}).standardized(), (Rect{0, 0, 10, 10}));
    EXPECT_EQ((Rect{10, 10, -10, 4}).maxX(), 10);
}

}  // namespace
}  // namespace corvane
