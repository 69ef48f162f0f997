// What the settings window learns about the window manager, and how it
// brings its own window forward, against a real Xvfb + openbox.
#include <gtest/gtest.h>
#include <xcb/xcb_ewmh.h>

#include <memory>

#include "ports/x11/x11_port.hpp"
#include "tools/xharness/own_window.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::x11 {
namespace {

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        xharness::XServerOptions options;
        options.tray = false;
        options.desktops = 3;
        server_ = std::make_unique<xharness::XServer>(options);
        port_ = X11Port::connect(server_->display().c_str());
        ASSERT_TRUE(port_);
    }
    xharness::XConnection& x() { return server_->x(); }

    std::unique_ptr<xharness::XServer> server_;
    std::unique_ptr<X11Port> port_;
};

TEST_F(WindowManagerTest, NamesOpenboxAndFindsNothingMissingThenNoManagerOnceItIsGone) {
    const WindowManager::Facts facts = port_->windowManager().facts();
    EXPECT_EQ(facts.name, "Openbox");
    EXPECT_TRUE(facts.missingForPlacement.empty());
    EXPECT_TRUE(facts.missingForDesktops.empty());

    // A killed manager leaves its root property behind, pointing at a window that is gone.
    server_->killWindowManager();
    const WindowManager::Facts gone = port_->windowManager().facts();
    EXPECT_FALSE(gone.name);
    EXPECT_EQ(gone.missingForDesktops.size(), 3u);
}

TEST_F(WindowManagerTest, PresentBringsAWindowToTheCurrentDesktopAndActivatesIt) {
    const xcb_window_t window = xharness::openOwnWindow(x(), Rect{50, 50, 300, 200});
    const xcb_window_t other = xharness::openOwnWindow(x(), Rect{400, 50, 300, 200});
    ASSERT_EQ(x().activeWindow(), other);

    xcb_ewmh_request_change_current_desktop(x().ewmh(), 0, 2, XCB_CURRENT_TIME);
    x().sync();
    ASSERT_TRUE(x().waitFor([&] { return x().currentDesktop() == 2u; }));

    x().watch(window);
    port_->windowManager().present(window);
    EXPECT_TRUE(x().waitFor([&] { return x().windowDesktop(window) == 2u && x().activeWindow() == window; }))
        << "on desktop " << x().windowDesktop(window).value_or(99);
    EXPECT_EQ(x().currentDesktop(), 2u) << "the user stays where they are";
    port_->windowManager().present(0);  // no window: nothing happens
    EXPECT_TRUE(port_->dispatchPending());
}

}  // namespace
}  // namespace corvane::x11
