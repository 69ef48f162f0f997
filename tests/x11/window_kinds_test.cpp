// The port and the windows people really run, against a real server: windows
// that name no process, panels and desktops that take focus, clients that draw
// their own frame, terminals that resize in cells, panels on a root larger
// than the monitors, windows that close, maximised windows, and a desktop
// worker whose connection breaks. Each test starts its own Xvfb and openbox.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <thread>

#include <xcb/xcb_icccm.h>

#include "core/geometry.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/x11_element.hpp"
#include "ports/x11/x11_port.hpp"
#include "tests/x11/port_on_server.hpp"
#include "tools/xharness/own_window.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::x11 {
namespace {

using xharness::openOwnDock;
using xharness::openOwnWindow;

constexpr std::chrono::milliseconds kWait{10000};

class WindowKindsTest : public PortOnServer {
protected:
    void SetUp() override {
        // One 1280x800 monitor at the origin of a larger root.
        xharness::XServerOptions options;
        options.width = 1600;
        options.height = 1000;
        options.monitors = {{"main", 0, 0, 1280, 800, true}};
        options.tray = false;
        start(options);
    }

    Accessibility& ax() { return port_->accessibility(); }
    Element windowElement(xcb_window_t window) { return X11Element::ofWindow(getpid(), window); }

    std::optional<Element> focusedWindowOfFrontmost() {
        const auto frontmost = port_->workspace().frontmostApplication();
        if (!frontmost) return std::nullopt;
        auto focused = ax().copyAttribute(ax().applicationElement(*frontmost), AXName::focusedWindow);
        if (focused.status != AXStatus::success) return std::nullopt;
        return std::get<Element>(*focused.value);
    }

    std::optional<Rect> frame(xcb_window_t window) {
        auto position = ax().copyAttribute(windowElement(window), AXName::position);
        auto size = ax().copyAttribute(windowElement(window), AXName::size);
        if (position.status != AXStatus::success || size.status != AXStatus::success) return std::nullopt;
        const auto p = std::get<Point>(*position.value);
        const auto s = std::get<Size>(*size.value);
        return Rect{p.x, p.y, s.width, s.height};
    }

    // The window mover's write: size, position, size.
    void place(xcb_window_t window, const Rect& r) {
        ax().setAttribute(windowElement(window), AXName::size, Size{r.width, r.height});
        ax().setAttribute(windowElement(window), AXName::position, Point{r.x, r.y});
        ax().setAttribute(windowElement(window), AXName::size, Size{r.width, r.height});
    }

    // Waits for the frame while the port handles its own events, as the
    // application's event loop would.
    bool frameBecomes(xcb_window_t window, const Rect& expected) {
        return x().waitFor(
            [&] {
                port_->dispatchPending();
                return frame(window) == expected;
            },
            kWait);
    }

    void setAtoms(xcb_window_t window, const char* property, const std::vector<std::string>& names) {
        std::vector<xcb_atom_t> atoms;
        for (const auto& name : names) atoms.push_back(x().atom(name));
        xcb_change_property(x().get(), XCB_PROP_MODE_REPLACE, window, x().atom(property), XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(atoms.size()), atoms.data());
        x().sync();
    }
};

TEST_F(WindowKindsTest, AWindowWithoutAProcessIdIsFoundThroughItsClient) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    xcb_delete_property(x().get(), window, x().ewmh()->_NET_WM_PID);
    x().sync();

    // The server knows the client behind the window: this process.
    EXPECT_EQ(port_->workspace().frontmostApplication(), (Application{getpid(), window}));
    EXPECT_EQ(focusedWindowOfFrontmost(), windowElement(window));

    // Where nobody can name the process, the window stands for the application.
    const Element anonymous = ax().applicationElement(Application{0, window});
    auto focused = ax().copyAttribute(anonymous, AXName::focusedWindow);
    ASSERT_EQ(focused.status, AXStatus::success);
    EXPECT_EQ(std::get<Element>(*focused.value), X11Element::ofWindow(0, window));
    EXPECT_TRUE(port_->workspace().activate(Application{0, window}));
}

TEST_F(WindowKindsTest, OnlyOrdinaryWindowsAreOfferedForMoving) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    const char* type = "_NET_WM_WINDOW_TYPE";
    for (const char* kind :
         {"_NET_WM_WINDOW_TYPE_DOCK", "_NET_WM_WINDOW_TYPE_DESKTOP", "_NET_WM_WINDOW_TYPE_SPLASH",
          "_NET_WM_WINDOW_TYPE_NOTIFICATION", "_NET_WM_WINDOW_TYPE_TOOLBAR"}) {
        setAtoms(window, type, {kind});
        EXPECT_FALSE(focusedWindowOfFrontmost()) << kind;
    }
    // The first type EWMH defines decides; other desktops' own types go first.
    setAtoms(window, type, {"_KDE_NET_WM_WINDOW_TYPE_OVERRIDE", "_NET_WM_WINDOW_TYPE_NORMAL"});
    EXPECT_EQ(focusedWindowOfFrontmost(), windowElement(window));
    setAtoms(window, type, {"_NET_WM_WINDOW_TYPE_DIALOG"});
    EXPECT_EQ(focusedWindowOfFrontmost(), windowElement(window));
    xcb_delete_property(x().get(), window, x().atom(type));
    x().sync();
    EXPECT_EQ(focusedWindowOfFrontmost(), windowElement(window));
}

TEST_F(WindowKindsTest, ATerminalReportsItsCellSize) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    EXPECT_EQ(ax().copyAttribute(windowElement(window), AXName::sizeIncrement).status, AXStatus::noValue);
    xcb_size_hints_t hints{};
    xcb_icccm_size_hints_set_resize_inc(&hints, 6, 13);
    xcb_icccm_set_wm_normal_hints(x().get(), window, &hints);
    x().sync();
    EXPECT_EQ(ax().copyAttribute(windowElement(window), AXName::sizeIncrement).value, AXValue(Size{6, 13}));
}

TEST_F(WindowKindsTest, AClientsOwnShadowIsNoPartOfTheFrame) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    const auto decorated = frame(window);
    ASSERT_TRUE(decorated);
    const std::uint32_t shadow[] = {20, 22, 15, 25};  // left, right, top, bottom
    xcb_change_property(x().get(), XCB_PROP_MODE_REPLACE, window, x().atom("_GTK_FRAME_EXTENTS"),
                        XCB_ATOM_CARDINAL, 32, 4, shadow);
    x().sync();
    EXPECT_EQ(frame(window),
              (Rect{decorated->x + 20, decorated->y + 15, decorated->width - 42, decorated->height - 40}));

    // The visible frame goes exactly where it is asked to, shadow outside.
    place(window, Rect{100, 50, 640, 600});
    EXPECT_TRUE(frameBecomes(window, Rect{100, 50, 640, 600}));

    // A shadow larger than the window is not believed.
    const std::uint32_t absurd[] = {5000, 0, 0, 0};
    xcb_change_property(x().get(), XCB_PROP_MODE_REPLACE, window, x().atom("_GTK_FRAME_EXTENTS"),
                        XCB_ATOM_CARDINAL, 32, 4, absurd);
    x().sync();
    EXPECT_EQ(frame(window)->width, 640 + 42);
}

TEST_F(WindowKindsTest, PanelStrutsAreMeasuredFromTheRootsEdges) {
    // A panel along the bottom of the monitor; the root reaches 200 below
    // it, so its strut, measured from the root's bottom edge as EWMH says
    // (and as panels compute it), is 230. Read against the monitor's own
    // bottom edge it would hide 230 rows of the monitor.
    openOwnDock(x(), Rect{0, 770, 1280, 30}, {0, 0, 0, 230, 0, 0, 0, 0, 0, 0, 0, 1279});
    const auto screens = port_->screens().screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(Geometry::toAX(screens[0].visibleFrame, screens[0].frame.height), (Rect{0, 0, 1280, 770}));
}

TEST_F(WindowKindsTest, AClosedWindowIsReportedToItsWatchers) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    const xcb_window_t other = openOwnWindow(x(), Rect{600, 100, 400, 300});
    int closed = 0, otherClosed = 0;
    auto watch = ax().observeDestruction(windowElement(window), [&] { ++closed; });
    auto ended = ax().observeDestruction(windowElement(other), [&] { ++otherClosed; });
    ASSERT_TRUE(watch);
    ASSERT_TRUE(ended);
    ended.reset();  // a watch that ended hears nothing
    EXPECT_FALSE(ax().observeDestruction(windowElement(0x7fffff), [] {}));

    xcb_destroy_window(x().get(), window);
    xcb_destroy_window(x().get(), other);
    x().sync();
    EXPECT_TRUE(x().waitFor(
        [&] {
            port_->dispatchPending();
            return closed == 1;
        },
        kWait));
    EXPECT_EQ(otherClosed, 0);
}

TEST_F(WindowKindsTest, AMaximisedWindowIsPlacedWithoutWaitingForTheWindowManager) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    xcb_ewmh_request_change_wm_state(
        x().ewmh(), 0, window, XCB_EWMH_WM_STATE_ADD, x().ewmh()->_NET_WM_STATE_MAXIMIZED_HORZ,
        x().ewmh()->_NET_WM_STATE_MAXIMIZED_VERT, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    x().sync();
    ASSERT_TRUE(frameBecomes(window, Rect{0, 0, 1280, 800}));

    // The main thread only sends; the frame comes right once the window
    // manager has restored the window and the port has seen its answer.
    const auto start = std::chrono::steady_clock::now();
    place(window, Rect{0, 0, 640, 800});
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(frameBecomes(window, Rect{0, 0, 640, 800}));
    std::cout << "placing a maximised window took "
              << std::chrono::duration_cast<std::chrono::microseconds>(spent).count() << " us\n";
    const auto states = x().cardinals(window, x().ewmh()->_NET_WM_STATE);
    EXPECT_EQ(std::count(states.begin(), states.end(), x().ewmh()->_NET_WM_STATE_MAXIMIZED_HORZ), 0);
}

TEST_F(WindowKindsTest, AWorkerWhoseConnectionBrokeConnectsAgainAndNeverUsesTheMainOne) {
    auto connection = Connection::open(server_->display().c_str());
    ASSERT_TRUE(connection);
    std::atomic<bool> done{false};
    xcb_connection_t* first = nullptr;
    xcb_connection_t* second = nullptr;
    xcb_window_t marker = XCB_WINDOW_NONE;
    std::thread worker([&] {
        connection->settle();
        first = connection->xcb();
        // Something of the worker's own for the server to close it by.
        marker = xcb_generate_id(first);
        xcb_create_window(first, 0, marker, connection->root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_flush(first);
        free(xcb_get_input_focus_reply(first, xcb_get_input_focus(first), nullptr));
        done = true;
    });
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_NE(first, connection->xcb()) << "the worker has a connection of its own";

    xcb_kill_client(x().get(), marker);
    x().sync();
    xcb_connection_t* main = connection->xcb();
    bool answered = false;
    std::thread again([&] {
        // A request on the dead connection fails; the next operation starts afresh.
        free(xcb_get_input_focus_reply(first, xcb_get_input_focus(first), nullptr));
        EXPECT_FALSE(connection->isAlive());
        connection->settle();
        second = connection->xcb();
        EXPECT_TRUE(connection->isAlive());
        auto* focus = xcb_get_input_focus_reply(second, xcb_get_input_focus(second), nullptr);
        answered = focus != nullptr;
        free(focus);
    });
    again.join();
    EXPECT_TRUE(answered);
    EXPECT_NE(second, main);
    EXPECT_TRUE(connection->isAlive());
}

}  // namespace
}  // namespace corvane::x11
