// The port against a real server: a private Xvfb split into two RandR
// monitors of different sizes, managed by openbox. Each test starts its own
// server and waits on X events or round trips, never on time. The test
// process itself owns the test windows (through the harness's connection),
// so the port finds them by this process's id.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "ports/x11/x11_accessibility.hpp"
#include "ports/x11/x11_element.hpp"
#include "ports/x11/x11_port.hpp"
#include "tests/x11/port_on_server.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/own_window.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::x11 {
namespace {

using xharness::Chord;
using xharness::openOwnDock;
using xharness::openOwnWindow;

constexpr std::uint16_t kLock = XCB_MOD_MASK_LOCK;
constexpr std::uint16_t kNumLock = XCB_MOD_MASK_2;  // where Xvfb's keymap puts it
constexpr std::chrono::milliseconds kWait{10000};

class X11PortTest : public PortOnServer {
protected:
    void SetUp() override {
        // Primary "left" 1920x1080 at the origin, "right" 1280x1024 beside it,
        // on a screen larger than both; openbox with four desktops and no key
        // bindings, so that every grab is the port's.
        xharness::XServerOptions options;
        options.width = 3200;
        options.height = 1200;
        options.monitors = {{"left", 0, 0, 1920, 1080, true}, {"right", 1920, 0, 1280, 1024, false}};
        options.tray = false;
        options.desktops = 4;
        start(options);
    }

    xharness::Keyboard& keyboard() { return server_->keyboard(); }

    Element windowElement(xcb_window_t window) { return X11Element::ofWindow(getpid(), window); }

    std::optional<Rect> frame(xcb_window_t window) {
        auto& ax = port_->accessibility();
        auto position = ax.copyAttribute(windowElement(window), AXName::position);
        auto size = ax.copyAttribute(windowElement(window), AXName::size);
        if (position.status != AXStatus::success || size.status != AXStatus::success) return std::nullopt;
        const auto p = std::get<Point>(*position.value);
        const auto s = std::get<Size>(*size.value);
        return Rect{p.x, p.y, s.width, s.height};
    }

    // The window mover's write: size, position, size.
    void place(xcb_window_t window, const Rect& r) {
        auto& ax = port_->accessibility();
        ax.setAttribute(windowElement(window), AXName::size, Size{r.width, r.height});
        ax.setAttribute(windowElement(window), AXName::position, Point{r.x, r.y});
        ax.setAttribute(windowElement(window), AXName::size, Size{r.width, r.height});
    }

    bool frameBecomes(xcb_window_t window, const Rect& expected) {
        return x().waitFor([&] { return frame(window) == expected; }, kWait);
    }

    std::optional<std::uint32_t> desktopCount() {
        auto report = port_->windowServer().copyManagedDisplaySpaces(1);
        if (!report) return std::nullopt;
        const auto& display =
            std::get<PlistValue::Dictionary>(std::get<PlistValue::Array>(report->value).front().value);
        return static_cast<std::uint32_t>(std::get<PlistValue::Array>(display.at("Spaces").value).size());
    }
};

TEST_F(X11PortTest, ScreensAreTheMonitorsPrimaryFirstEachLessItsOwnDocks) {
    // A 30-pixel panel at the bottom right of the shorter monitor; its strut is
    // measured from the bottom of the root window (1200), which lies below
    // both monitors.
    openOwnDock(x(), Rect{2900, 994, 300, 30}, {0, 0, 0, 206, 0, 0, 0, 0, 0, 0, 2900, 3199});

    auto& screens = port_->screens();
    const auto list = screens.screens();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].frame, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(list[0].visibleFrame, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(list[1].frame, (Rect{1920, 56, 1280, 1024}));
    EXPECT_EQ(list[1].visibleFrame, (Rect{1920, 86, 1280, 994}));

    EXPECT_EQ(screens.displayUUID(list[0].displayNumber), "left");
    EXPECT_EQ(screens.displayUUID(list[1].displayNumber), "right");
    EXPECT_EQ(screens.displayBounds(list[1].displayNumber), (Rect{1920, 0, 1280, 1024}));
    EXPECT_FALSE(screens.displayUUID(list[0].displayNumber + list[1].displayNumber));
    EXPECT_FALSE(screens.displayBounds(0));
}

TEST_F(X11PortTest, FrameWritesPlaceTheOuterFrameExactly) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    auto& ax = port_->accessibility();

    auto focused = ax.copyAttribute(ax.applicationElement(Application{getpid(), 0}), AXName::focusedWindow);
    ASSERT_EQ(focused.status, AXStatus::success);
    EXPECT_EQ(std::get<Element>(*focused.value), windowElement(window));
    auto number = port_->windowServer().windowNumber(std::get<Element>(*focused.value));
    EXPECT_EQ(number->number, window);

    // The read frame is the client area grown by the decorations.
    const auto before = frame(window);
    ASSERT_TRUE(before);
    ASSERT_TRUE(x().frameExtents(window));
    EXPECT_GT(before->height, 300);

    auto& counted = static_cast<X11Accessibility&>(ax);
    const unsigned requestsBefore = counted.placementRequests();
    // Onto the second monitor, in one placement of two window-manager requests.
    place(window, Rect{1950, 100, 800, 600});
    EXPECT_EQ(counted.placementRequests() - requestsBefore, 2u);
    EXPECT_TRUE(frameBecomes(window, Rect{1950, 100, 800, 600}));

    // Size alone keeps the corner; position alone keeps the size.
    ax.setAttribute(windowElement(window), AXName::size, Size{500, 400});
    EXPECT_TRUE(frameBecomes(window, Rect{1950, 100, 500, 400}));
    ax.setAttribute(windowElement(window), AXName::position, Point{10, 20});
    EXPECT_TRUE(frameBecomes(window, Rect{10, 20, 500, 400}));

    // The primary's left half, as the window mover computes it.
    place(window, Rect{0, 0, 960, 1080});
    EXPECT_TRUE(frameBecomes(window, Rect{0, 0, 960, 1080}));
}

TEST_F(X11PortTest, AMaximisedWindowIsRestoredBeforeItIsPlaced) {
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});
    xcb_ewmh_connection_t* ewmh = x().ewmh();
    xcb_ewmh_request_change_wm_state(ewmh, 0, window, XCB_EWMH_WM_STATE_ADD,
                                     ewmh->_NET_WM_STATE_MAXIMIZED_VERT, ewmh->_NET_WM_STATE_MAXIMIZED_HORZ,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    ASSERT_TRUE(frameBecomes(window, Rect{0, 0, 1920, 1080}));

    // The main thread does not wait for the restore: the frame is written at
    // once and checked again when the window manager's answer is dispatched.
    place(window, Rect{100, 200, 640, 480});
    EXPECT_TRUE(x().waitFor(
        [&] {
            port_->dispatchPending();
            return frame(window) == Rect{100, 200, 640, 480};
        },
        kWait));
}

TEST_F(X11PortTest, AHotKeyAnotherClientHoldsIsRefusedAndLeavesNothingGrabbed) {
    auto& hotKeys = port_->hotKeys();
    // Ctrl+Alt+Left with some lock keys on, as another client grabs it.
    auto controlAltLeft = [](std::uint16_t locks) {
        Chord chord = Chord::parse("Ctrl+Alt+Left");
        chord.modifierMask |= locks;
        return chord;
    };

    // The other client holds only the Caps Lock variant: the plain variant,
    // grabbed first, must be released again.
    ASSERT_TRUE(keyboard().grab(controlAltLeft(kLock)));
    EXPECT_FALSE(hotKeys.registerHotKey(123, 0x1800, HotKeyID{1, 9}));
    keyboard().ungrab(controlAltLeft(kLock));
    for (std::uint16_t lock : {0, int(kLock), int(kNumLock), kLock | kNumLock}) {
        EXPECT_TRUE(keyboard().grab(controlAltLeft(lock))) << lock;
        keyboard().ungrab(controlAltLeft(lock));
    }

    // Free now: ours, every variant, and not ours twice.
    auto reference = hotKeys.registerHotKey(123, 0x1800, HotKeyID{1, 9});
    ASSERT_TRUE(reference);
    EXPECT_FALSE(keyboard().grab(controlAltLeft(kNumLock)));
    EXPECT_FALSE(hotKeys.registerHotKey(123, 0x1800, HotKeyID{1, 10}));

    hotKeys.unregisterHotKey(*reference);
    hotKeys.unregisterHotKey(*reference);
    EXPECT_TRUE(keyboard().grab(controlAltLeft(0)));
    EXPECT_FALSE(hotKeys.registerHotKey(52, 0x1800, HotKeyID{1, 11}));  // no such key here
}

TEST_F(X11PortTest, PressesArriveOnDispatchWithTheirIdentityWhateverTheLocks) {
    auto& hotKeys = port_->hotKeys();
    std::vector<std::uint32_t> pressed;
    hotKeys.installPressHandler([&](std::optional<HotKeyID> id) {
        if (id) pressed.push_back(id->id);
        return noErr;
    });
    const std::uint32_t crvn = 0x4352564E;
    ASSERT_TRUE(hotKeys.registerHotKey(123, 0x1900, HotKeyID{crvn, 0}));
    ASSERT_TRUE(hotKeys.registerHotKey(46, 0x1900, HotKeyID{crvn, 8}));
    ASSERT_TRUE(hotKeys.registerHotKey(20, 0x1A00, HotKeyID{crvn, 22}));

    // The presses reach the port's own connection: its descriptor wakes the wait.
    auto pressesBecome = [&](std::vector<std::uint32_t> expected) {
        return x().waitFor(
            [&] {
                port_->dispatchPending();
                return pressed == expected;
            },
            kWait, port_->fileDescriptor());
    };
    keyboard().press("Ctrl+Alt+Super+Left");
    EXPECT_TRUE(pressesBecome({0}));

    keyboard().press("Num_Lock");
    keyboard().press("Ctrl+Alt+Super+m");
    EXPECT_TRUE(pressesBecome({0, 8}));
    keyboard().press("Caps_Lock");
    keyboard().press("Ctrl+Alt+Shift+3");
    EXPECT_TRUE(pressesBecome({0, 8, 22}));
    keyboard().press("Num_Lock");
    keyboard().press("Caps_Lock");
}

// A keymap change (xmodmap, a layout switch) can move a shortcut's key to
// another keycode: the registration must follow it.
TEST_F(X11PortTest, AShortcutFollowsItsKeyToANewKeycode) {
    auto& hotKeys = port_->hotKeys();
    std::vector<std::uint32_t> pressed;
    hotKeys.installPressHandler([&](std::optional<HotKeyID> id) {
        if (id) pressed.push_back(id->id);
        return noErr;
    });
    ASSERT_TRUE(hotKeys.registerHotKey(46, 0x1900, HotKeyID{0x4352564E, 8}));  // M

    constexpr xcb_keysym_t m = 0x6d;
    constexpr xcb_keysym_t comma = 0x2c;
    const int oldKeycode = keyboard().keycode(m);
    const int newKeycode = keyboard().keycode(comma);
    ASSERT_NE(oldKeycode, 0);
    ASSERT_NE(newKeycode, 0);
    const std::string swap = "xmodmap -display " + server_->display() + " -e 'keycode " +
                             std::to_string(oldKeycode) + " = comma less' -e 'keycode " +
                             std::to_string(newKeycode) + " = m M'";
    ASSERT_EQ(std::system(swap.c_str()), 0);
    // The mapping change was announced before xmodmap ended; a round trip
    // on the port's connection puts it in the port's queue.
    port_->screens().screens();
    ASSERT_TRUE(port_->dispatchPending());

    xharness::Keyboard remapped(x());  // reads the new mapping
    remapped.press("Ctrl+Alt+Super+m");
    EXPECT_TRUE(x().waitFor(
        [&] {
            port_->dispatchPending();
            return pressed == std::vector<std::uint32_t>{8};
        },
        kWait, port_->fileDescriptor()));
}

TEST_F(X11PortTest, DesktopsAreAddedWindowsSentAndShownThroughTheWindowManager) {
    auto& server = port_->windowServer();
    const auto available = server.availability();
    EXPECT_TRUE(available.systemVersion && available.serverFunctions && available.windowNumberFunction &&
                available.bridgedMove);
    const xcb_window_t window = openOwnWindow(x(), Rect{100, 100, 400, 300});

    // Both monitors report the same desktops, current first.
    auto report = server.copyManagedDisplaySpaces(*server.mainConnection());
    ASSERT_TRUE(report);
    const auto& displays = std::get<PlistValue::Array>(report->value);
    ASSERT_EQ(displays.size(), 2u);
    const auto& right = std::get<PlistValue::Dictionary>(displays[1].value);
    EXPECT_EQ(right.at("Display Identifier"), PlistValue("right"));
    EXPECT_EQ(right.at("Current Space"),
              PlistValue(PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(1)}}));
    const auto start = desktopCount();
    ASSERT_TRUE(start);

    auto gesture = port_->desktopGesture().begin();
    gesture->requestDesktop(Rect{1920, 0, 1280, 1024});
    ASSERT_TRUE(x().waitFor([&] { return desktopCount() == *start + 1; }, kWait));
    gesture->dismiss();
    const std::uint64_t added = *start + 1;

    auto spaces = [&] { return server.copySpacesForWindows(1, 7, {window}); };
    EXPECT_EQ(spaces(), PlistValue(PlistValue::Array{PlistValue::integer(1)}));
    EXPECT_TRUE(server.performBridgedMove({window}, added));
    EXPECT_TRUE(x().waitFor(
        [&] { return spaces() == PlistValue(PlistValue::Array{PlistValue::integer(std::int64_t(added))}); },
        kWait));

    EXPECT_EQ(server.setCurrentSpace(1, "right", added), 0);
    EXPECT_TRUE(x().waitFor([&] { return x().currentDesktop() == added - 1; }, kWait));

    // Identifiers that name no desktop are refused here, not sent.
    EXPECT_NE(server.setCurrentSpace(1, "right", 0), 0);
    EXPECT_FALSE(server.performBridgedMove({window}, 0));
    EXPECT_FALSE(server.performBridgedMove({}, 1));
}

TEST_F(X11PortTest, ApplicationsAreFoundActivatedAndAskedToClose) {
    const xcb_window_t first = openOwnWindow(x(), Rect{100, 100, 300, 200});
    const xcb_window_t second = openOwnWindow(x(), Rect{500, 100, 300, 200});
    auto& workspace = port_->workspace();
    auto& ax = port_->accessibility();

    // The window manager gives a new window focus; only once it has done so
    // does activating the first one decide the outcome.
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == second; }, kWait));

    EXPECT_EQ(workspace.runningApplications("corvane-test"), std::vector<pid_t>{getpid()});
    EXPECT_TRUE(workspace.runningApplications("no-such-program").empty());

    ax.setAttribute(windowElement(first), AXName::main, true);
    ASSERT_TRUE(x().waitFor([&] { return x().activeWindow() == first; }, kWait));
    EXPECT_EQ(workspace.frontmostApplication(), (Application{getpid(), first}));
    auto focused = ax.copyAttribute(ax.applicationElement(Application{getpid(), 0}), AXName::focusedWindow);
    EXPECT_EQ(std::get<Element>(*focused.value), windowElement(first));
    EXPECT_EQ(ax.copyAttribute(windowElement(first), AXName::focused).value, AXValue(true));

    EXPECT_TRUE(workspace.activate(Application{getpid(), 0}));
    EXPECT_FALSE(workspace.activate(Application{getpid() + 100000, 0}));
    EXPECT_EQ(
        ax.copyAttribute(ax.applicationElement(Application{getpid() + 100000, 0}), AXName::focusedWindow)
            .status,
        AXStatus::noValue);

    // Both windows take WM_DELETE_WINDOW; terminate asks each of them.
    const xcb_atom_t protocols = x().atom("WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = x().atom("WM_DELETE_WINDOW");
    for (xcb_window_t w : {first, second})
        xcb_change_property(x().get(), XCB_PROP_MODE_REPLACE, w, protocols, XCB_ATOM_ATOM, 32, 1,
                            &deleteWindow);
    x().sync();
    std::vector<xcb_window_t> asked;
    x().setEventObserver([&](const xcb_generic_event_t& e) {
        if ((e.response_type & 0x7f) != XCB_CLIENT_MESSAGE) return;
        const auto& m = reinterpret_cast<const xcb_client_message_event_t&>(e);
        if (m.type == protocols && m.data.data32[0] == deleteWindow) asked.push_back(m.window);
    });
    EXPECT_TRUE(workspace.terminate(getpid()));
    EXPECT_TRUE(x().waitFor([&] { return asked.size() == 2; }, kWait));
    x().setEventObserver({});
    EXPECT_FALSE(workspace.terminate(getpid() + 100000));
}

TEST_F(X11PortTest, AnUnsupportedAttributeOrForeignElementIsAStatusNotACrash) {
    auto& ax = port_->accessibility();
    const Element app = ax.applicationElement(Application{getpid(), 0});
    EXPECT_EQ(ax.copyAttribute(app, AXName::enhancedUserInterface).status, AXStatus::attributeUnsupported);
    EXPECT_EQ(ax.setAttribute(app, AXName::enhancedUserInterface, false), AXStatus::attributeUnsupported);
    EXPECT_EQ(ax.copyAttribute(Element(), AXName::position).status, AXStatus::invalidElement);
    // A window id the server has never handed out.
    EXPECT_EQ(ax.copyAttribute(windowElement(0x7fffff), AXName::position).status, AXStatus::invalidElement);
    EXPECT_EQ(ax.setAttribute(windowElement(0x7fffff), AXName::size, Size{10, 10}), AXStatus::invalidElement);
    EXPECT_EQ(ax.setAttribute(windowElement(0x7fffff), AXName::size, Point{10, 10}),
              AXStatus::illegalArgument);
    EXPECT_TRUE(ax.isProcessTrusted());
}

TEST_F(X11PortTest, DispatchReportsAServerThatWentAway) {
    auto& screens = port_->screens();
    ASSERT_EQ(screens.screens().size(), 2u);
    server_.reset();
    const int fd = port_->fileDescriptor();
    bool alive = true;
    for (int i = 0; i < 100 && alive; ++i) {
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 10000);
        alive = port_->dispatchPending();
    }
    EXPECT_FALSE(alive);
    // Everything still answers, with nothing.
    EXPECT_FALSE(port_->workspace().frontmostApplication());
    EXPECT_EQ(port_->accessibility().copyAttribute(windowElement(1), AXName::size).status,
              AXStatus::invalidElement);
    EXPECT_FALSE(port_->windowServer().copyManagedDisplaySpaces(1));
    port_->feedback().beep();
    port_.reset();
}

TEST(X11PortConnectTest, ADisplayThatIsNotThereGivesNoPort) {
    EXPECT_FALSE(X11Port::connect(":65000"));
}

TEST_F(X11PortTest, OpeningAUrlWithoutAnOpenerFails) {
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", "/nonexistent-corvane-dir", 1);
    EXPECT_FALSE(port_->workspace().openURL("https://example.org"));
    setenv("PATH", path.c_str(), 1);
}

}  // namespace
}  // namespace corvane::x11
