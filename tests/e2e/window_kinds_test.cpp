// Windows people really run, placed by the real app: a window that names no
// process, a client that draws its own frame and shadow, a terminal going to
// full screen and back, the desktop window in front, and `--action`
// reporting what it did.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

class WindowKinds : public AppTest {
protected:
    xharness::ClientWindow* openWith(const std::string& title, const std::vector<std::string>& options) {
        windows_.push_back(xharness::ClientWindow::open(server(), title, 640, 480, options));
        return windows_.back().get();
    }

    xharness::CommandResult action(const std::string& name) { return app().run({"--action", name}); }
};

bool exitedWith(const xharness::CommandResult& result, int code) {
    return result.status && result.status->exited && result.status->code == code;
}

TEST_F(WindowKinds, AWindowWithoutAProcessIdIsPlacedAndSent) {
    auto window = openWith("No pid", {"--no-pid"});
    ASSERT_FALSE(x().windowPid(window->id()));
    const Rect area = primaryVisible();
    EXPECT_TRUE(
        pressAndExpectFrame("Ctrl+Alt+Super+Left", *window, Geometry::frame(Placement::leftHalf, area, 0)));

    const auto sent = action("send2");
    EXPECT_TRUE(exitedWith(sent, 0)) << sent.err;
    EXPECT_TRUE(x().waitFor([&] { return window->desktop() == 1u; }));
}

// xlogo, an Xt program, names no process at all.
TEST_F(WindowKinds, XlogoIsPlaced) {
    const auto found = server().runClient({"sh", "-c", "command -v xlogo"});
    if (!found.status || found.status->code != 0) {
        GTEST_SKIP() << "xlogo (x11-apps) is not installed";
    }
    windows_.push_back(xharness::ClientWindow::openProgram(server(), {"xlogo"}, "XLogo"));
    auto& logo = *windows_.back();
    ASSERT_FALSE(x().windowPid(logo.id()));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Up", logo,
                                    Geometry::frame(Placement::topHalf, primaryVisible(), 0)));
    const auto placed = action("bottomHalf");
    EXPECT_TRUE(exitedWith(placed, 0)) << placed.err;
    EXPECT_TRUE(expectFrame(logo, Geometry::frame(Placement::bottomHalf, primaryVisible(), 0)));
}

TEST_F(WindowKinds, AClientThatDrawsItsOwnFrameShowsItsVisibleEdgesWhereAsked) {
    // 20/22 pixels of shadow at the sides, 15 above, 25 below; no decorations.
    auto window = openWith("Own frame", {"--csd", "20,22,15,25"});
    const Rect area = primaryVisible();
    const Rect left = Geometry::frame(Placement::leftHalf, area, 0);
    const auto onScreen = [&] {
        const auto client = x().clientArea(window->id());
        if (!client) return Rect{};
        return Rect{client->x + 20, client->y + 15, client->width - 42, client->height - 40};
    };
    server().keyboard().press("Ctrl+Alt+Super+Left");
    EXPECT_TRUE(x().waitFor([&] { return onScreen() == left; }))
        << "visible " << ::testing::PrintToString(onScreen()) << ", wanted "
        << ::testing::PrintToString(left);
    EXPECT_EQ(onScreen().x, area.x) << "the visible edge touches the screen edge";

    server().keyboard().press("Ctrl+Alt+Super+Right");
    const Rect right = Geometry::frame(Placement::rightHalf, area, 0);
    EXPECT_TRUE(x().waitFor([&] { return onScreen() == right; }));
    EXPECT_EQ(onScreen().x, left.maxX()) << "the visible edge meets the middle";

    // A picture for people: CORVANE_E2E_PICTURES names a directory to keep it in.
    if (const char* pictures = std::getenv("CORVANE_E2E_PICTURES")) {
        server().runClient(
            {"import", "-window", "root", std::string(pictures) + "/own-frame-right-half.png"});
    }
}

// A real GTK 3 program with a header bar: it draws its own title bar. On a
// server without compositing GTK leaves out the shadow; where it draws one,
// _GTK_FRAME_EXTENTS says how wide, and the visible frame is what is placed.
TEST_F(WindowKinds, ARealGtkProgramIsPlacedByItsVisibleFrame) {
    const auto found = server().runClient({"sh", "-c", "command -v gtk3-widget-factory"});
    if (!found.status || found.status->code != 0) {
        GTEST_SKIP() << "gtk3-widget-factory (gtk-3-examples) is not installed";
    }
    windows_.push_back(xharness::ClientWindow::openProgram(server(), {"gtk3-widget-factory"}));
    auto& gtk = *windows_.back();
    const auto shadow = x().cardinals(gtk.id(), x().atom("_GTK_FRAME_EXTENTS"));
    const bool hasShadow = shadow.size() == 4;
    const double l = hasShadow ? shadow[0] : 0, r = hasShadow ? shadow[1] : 0;
    const double t = hasShadow ? shadow[2] : 0, b = hasShadow ? shadow[3] : 0;
    const auto visible = [&] {
        const auto outer = gtk.frame();
        if (!outer) return Rect{};
        return Rect{outer->x + l, outer->y + t, outer->width - l - r, outer->height - t - b};
    };
    const Rect area = primaryVisible();
    server().keyboard().press("Ctrl+Alt+Super+Right");
    const Rect half = Geometry::frame(Placement::rightHalf, area, 0);
    // The program has a minimum size; its left edge and top still land where asked.
    EXPECT_TRUE(x().waitFor([&] { return visible().x == half.x && visible().y == half.y; }))
        << "visible " << ::testing::PrintToString(visible()) << ", wanted " << ::testing::PrintToString(half);
    if (const char* pictures = std::getenv("CORVANE_E2E_PICTURES")) {
        server().runClient({"import", "-window", "root", std::string(pictures) + "/gtk-right-half.png"});
    }
}

class GappedWindowKinds : public WindowKinds {
protected:
    xharness::CorvaneOptions appOptions() override {
        Config config = Config::defaults();
        config.gap = 10;
        return {settingsFiles(config)};
    }
};

TEST_F(GappedWindowKinds, TheGapLiesBetweenVisibleEdgesOfAClientThatDrawsItsOwnFrame) {
    auto window = openWith("Own frame", {"--csd", "30,30,30,30"});
    const Rect area = primaryVisible();
    const auto onScreen = [&] {
        const auto client = x().clientArea(window->id());
        if (!client) return Rect{};
        return Rect{client->x + 30, client->y + 30, client->width - 60, client->height - 60};
    };
    server().keyboard().press("Ctrl+Alt+Super+Left");
    const Rect left = Geometry::frame(Placement::leftHalf, area, 10);
    EXPECT_TRUE(x().waitFor([&] { return onScreen() == left; }));
    EXPECT_EQ(onScreen().x, area.x + 10);
}

TEST_F(WindowKinds, ATerminalComesBackFromFullScreen) {
    auto terminal = xharness::ClientWindow::openXterm(server(), "Terminal");
    const Rect before = terminal->frame().value();
    const Rect full = Geometry::frame(Placement::maximize, primaryVisible(), 0);
    server().keyboard().press("Ctrl+Alt+Super+M");
    ASSERT_TRUE(x().waitFor([&] {
        const auto now = terminal->frame();
        return now && now->width > before.width && now->height > before.height;
    }));
    EXPECT_NE(terminal->frame(), full) << "whole cells only: a little short of full screen";
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+M", *terminal, before)) << "the second press restores";
    terminal->close();
}

TEST_F(WindowKinds, TheDesktopWindowInFrontIsLeftAloneAndTheCommandLineSaysSo) {
    auto window = openWindow();
    const Rect before = window->frame().value();
    auto desktop = openWith("Desktop", {"--type", "DESKTOP"});
    const Rect desktopBefore = desktop->frame().value();
    const auto desktopsBefore = desktop->desktop();

    const auto placed = action("leftHalf");
    EXPECT_TRUE(exitedWith(placed, 1));
    EXPECT_NE(placed.err.find("nothing to move"), std::string::npos) << placed.err;
    allowLogLines();
    const auto sent = action("send2");
    EXPECT_TRUE(exitedWith(sent, 1));
    EXPECT_NE(sent.err.find("No focused window to move"), std::string::npos) << sent.err;
    // The refused desktop move also shows its alert, which takes the focus
    // when it maps and keeps it while open: dismiss it, as the user would,
    // before handing the focus back.
    auto& x = server().x();
    const auto pid = static_cast<std::uint32_t>(app().pid());
    const auto alert = [&]() -> std::optional<xcb_window_t> {
        for (xcb_window_t w : x.clientList())
            if (x.windowPid(w) == pid) return w;
        return std::nullopt;
    };
    ASSERT_TRUE(x.waitFor([&] { return alert().has_value(); })) << "the alert";
    xcb_ewmh_request_close_window(x.ewmh(), 0, *alert(), XCB_CURRENT_TIME, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    EXPECT_TRUE(x.waitFor([&] { return !alert(); })) << "the alert goes";

    EXPECT_EQ(desktop->frame(), desktopBefore);
    EXPECT_EQ(desktop->desktop(), desktopsBefore);
    EXPECT_EQ(window->frame(), before);

    // With an ordinary window in front the same commands succeed.
    window->activate();
    EXPECT_TRUE(exitedWith(action("leftHalf"), 0));
    EXPECT_TRUE(expectFrame(*window, Geometry::frame(Placement::leftHalf, primaryVisible(), 0)));
    const auto moved = action("send2");
    EXPECT_TRUE(exitedWith(moved, 0)) << moved.err;
    EXPECT_EQ(window->desktop(), 1u) << "sent before the command answered";
}

}  // namespace
}  // namespace corvane::e2e
