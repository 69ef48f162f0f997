// The harness checked against the plain X tools (xrandr, xmodmap, wmctrl,
// xwininfo), so that an end-to-end failure points at the app, not at the
// harness. None of these needs the app.

#include <gtest/gtest.h>
#include <poll.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <sstream>

#include "tests/e2e/e2e_support.hpp"
#include "tools/xharness/deadline.hpp"

namespace corvane::e2e {
namespace {

using xharness::ClientWindow;
using xharness::XServer;
using xharness::XServerOptions;

std::string hex(xcb_window_t window) {
    std::ostringstream text;
    text << "0x" << std::hex << window;
    return text.str();
}

std::string clientOutput(XServer& server, const std::vector<std::string>& argv) {
    xharness::CommandResult result = server.runClient(argv);
    EXPECT_TRUE(result.status && result.status->exited && result.status->code == 0)
        << argv[0] << " failed: " << result.err;
    return result.out;
}

// "  Absolute upper-left X:  100" -> 100
int xwininfoField(const std::string& text, const std::string& label) {
    std::size_t at = text.find(label);
    if (at == std::string::npos) return -1;
    return std::atoi(text.c_str() + at + label.size());
}

TEST(Harness, ServerComesUpWithManagerTrayAndSuperOnMod4) {
    XServer server;
    EXPECT_TRUE(server.x().windowManagerCheck().has_value());
    EXPECT_NE(server.x().selectionOwner("_NET_SYSTEM_TRAY_S0"), static_cast<xcb_window_t>(XCB_NONE));
    EXPECT_EQ(server.x().numberOfDesktops(), 2U);

    std::string modifiers = clientOutput(server, {"xmodmap", "-pm"});
    std::istringstream lines(modifiers);
    std::string line;
    bool superOnMod4 = false, altOnMod1 = false;
    while (std::getline(lines, line)) {
        superOnMod4 =
            superOnMod4 || (line.rfind("mod4", 0) == 0 && line.find("Super_L") != std::string::npos);
        altOnMod1 = altOnMod1 || (line.rfind("mod1", 0) == 0 && line.find("Alt_L") != std::string::npos);
    }
    EXPECT_TRUE(superOnMod4) << modifiers;
    EXPECT_TRUE(altOnMod1) << modifiers;
}

TEST(Harness, MonitorsAreTheOnesXrandrLists) {
    XServerOptions options;
    options.width = 2304;
    options.height = 1024;
    options.monitors = {{"Big", 0, 0, 1280, 1024, true}, {"Small", 1280, 0, 1024, 768, false}};
    options.tray = false;
    XServer server(options);

    std::vector<xharness::MonitorArea> areas = server.monitors();
    ASSERT_EQ(areas.size(), 2U);
    EXPECT_EQ(areas[0].name, "Big");
    EXPECT_TRUE(areas[0].primary);
    EXPECT_EQ(areas[0].frame, (Rect{0, 0, 1280, 1024}));
    EXPECT_EQ(areas[1].frame, (Rect{1280, 0, 1024, 768}));
    EXPECT_EQ(areas[1].visible, areas[1].frame) << "nothing reserves space here";

    std::string listed = clientOutput(server, {"xrandr", "--listmonitors"});
    EXPECT_NE(listed.find("Monitors: 2"), std::string::npos) << listed;
    EXPECT_NE(listed.find("*Big 1280/"), std::string::npos) << listed;
    EXPECT_NE(listed.find("Small 1024/"), std::string::npos) << listed;
    EXPECT_NE(listed.find("x768/"), std::string::npos) << listed;
}

TEST(Harness, FramesAndDesktopsReadAsWmctrlAndXwininfoSeeThem) {
    XServer server;
    auto window = ClientWindow::open(server, "Harness window", 500, 400);
    EXPECT_TRUE(window->isActive());
    const std::string id = hex(window->id());

    // wmctrl places the outer frame's corner and sets the client size.
    clientOutput(server, {"wmctrl", "-i", "-r", id, "-e", "0,100,120,500,400"});
    xharness::FrameExtents e = server.x().frameExtents(window->id()).value();
    Rect expected{100, 120, 500.0 + e.left + e.right, 400.0 + e.top + e.bottom};
    ASSERT_TRUE(server.x().waitFor([&] { return window->frame() == expected; }));

    std::string info = clientOutput(server, {"xwininfo", "-id", id});
    Rect client = server.x().clientArea(window->id()).value();
    EXPECT_EQ(client.x, xwininfoField(info, "Absolute upper-left X:"));
    EXPECT_EQ(client.y, xwininfoField(info, "Absolute upper-left Y:"));
    EXPECT_EQ(client.width, xwininfoField(info, "Width:"));
    EXPECT_EQ(client.height, xwininfoField(info, "Height:"));

    clientOutput(server, {"wmctrl", "-n", "3"});
    EXPECT_TRUE(server.x().waitFor([&] { return server.x().numberOfDesktops() == 3U; }));
    clientOutput(server, {"wmctrl", "-i", "-r", id, "-t", "2"});
    EXPECT_TRUE(server.x().waitFor([&] { return window->desktop() == 2U; }));
    clientOutput(server, {"wmctrl", "-s", "1"});
    EXPECT_TRUE(server.x().waitFor([&] { return server.x().currentDesktop() == 1U; }));
}

TEST(Harness, TypedChordReachesTheClientHoldingItsGrab) {
    XServer server;
    xharness::XConnection other(server.display());
    xharness::Keyboard otherKeyboard(other);
    const auto chord = xharness::Chord::parse("Ctrl+Alt+Super+Left");
    ASSERT_TRUE(otherKeyboard.grab(chord));
    EXPECT_FALSE(server.keyboard().grab(chord)) << "a second grab of the same chord must be refused";

    server.keyboard().press(chord);
    xharness::Deadline deadline(std::chrono::milliseconds(5000));
    xcb_key_press_event_t press{};
    while (press.response_type == 0 && !deadline.passed()) {
        pollfd p{.fd = xcb_get_file_descriptor(other.get()), .events = POLLIN, .revents = 0};
        xcb_generic_event_t* event = xcb_poll_for_event(other.get());
        if (event == nullptr) {
            ::poll(&p, 1, deadline.remainingMs());
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS)
            press = *reinterpret_cast<xcb_key_press_event_t*>(event);
        std::free(event);
    }
    EXPECT_EQ(press.detail, server.keyboard().keycode(chord.key));
    EXPECT_EQ(press.state & (XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT),
              XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);

    otherKeyboard.ungrab(chord);
    EXPECT_TRUE(server.keyboard().grab(chord));
}

TEST(Harness, RestartedWindowManagerManagesTheWindowsAgain) {
    XServer server;
    auto window = ClientWindow::open(server, "Survivor");
    server.killWindowManager();
    EXPECT_FALSE(server.x().windowManagerCheck().has_value());
    server.startWindowManager();
    EXPECT_TRUE(server.x().waitFor([&] { return server.x().frameExtents(window->id()).has_value(); }));
    window->activate();
}

TEST(Harness, XtermHasCellIncrements) {
    XServer server;
    auto terminal = ClientWindow::openXterm(server, "Terminal");
    auto increments = server.x().sizeIncrements(terminal->id());
    ASSERT_TRUE(increments.has_value());
    EXPECT_GT(increments->first, 1U);
    EXPECT_GT(increments->second, 1U);
}

TEST(Harness, StoppedServerBreaksTheConnectionInsteadOfHanging) {
    XServer server;
    auto window = ClientWindow::open(server, "Orphan");
    server.stop();
    EXPECT_FALSE(server.x().waitFor([] { return false; }, std::chrono::milliseconds(5000)));
    EXPECT_TRUE(server.x().hasError());
    EXPECT_FALSE(window->frame().has_value());
}

}  // namespace
}  // namespace corvane::e2e
