// Previous and next display across two RandR monitors of different sizes
// on one wide screen: the frame keeps its place and size relative to the
// usable area, scaled to the other monitor.

#include <gtest/gtest.h>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

class TwoDisplays : public AppTest {
protected:
    xharness::XServerOptions serverOptions() override {
        xharness::XServerOptions options;
        options.width = 2304;
        options.height = 1024;
        options.monitors = {{"Primary", 0, 0, 1280, 1024, true}, {"Side", 1280, 0, 1024, 768, false}};
        return options;
    }
};

TEST_F(TwoDisplays, NextAndPreviousCarryTheRelativeFrame) {
    auto window = openWindow();
    const std::vector<xharness::MonitorArea> monitors = server().monitors();
    ASSERT_EQ(monitors.size(), 2U);
    const Rect primary = monitors[0].visible;
    const Rect side = monitors[1].visible;

    // From wherever the window manager put it.
    const Rect start = window->frame().value();
    const Rect onSide = Geometry::moved(start, primary, side);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Right", *window, onSide));
    // Two monitors: stepping on wraps back to the primary.
    const Rect back = Geometry::moved(onSide, side, primary);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Right", *window, back));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Left", *window, Geometry::moved(back, primary, side)));

    // Placements now use the smaller monitor's area.
    const Rect sideQuarter = Geometry::frame(Placement::bottomRight, side, 0);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Shift+Right", *window, sideQuarter));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Left", *window, Geometry::moved(sideQuarter, side, primary)));
}

}  // namespace
}  // namespace corvane::e2e
