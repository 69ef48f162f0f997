// The compositor port's services over a scripted plugin channel: what a press
// reads from its snapshot and collects for its reply, what goes through the
// channel off the press path, desktops under GNOME's dynamic workspaces, and
// the bindings' names and refusals.

#include <gtest/gtest.h>

#include <thread>

#include "ports/compositor/compositor_accessibility.hpp"
#include "ports/compositor/compositor_element.hpp"
#include "ports/compositor/compositor_hot_keys.hpp"
#include "ports/compositor/compositor_port.hpp"
#include "ports/compositor/compositor_session.hpp"
#include "ports/compositor/compositor_window_server.hpp"
#include "ports/compositor/compositor_workspace.hpp"

namespace corvane::compositor {
namespace {

// Two monitors side by side, the second higher up; the focused window on
// the primary.
Snapshot twoMonitors() {
    Snapshot s;
    s.window = WindowInfo{"42", 100, "Notes", "org.example.Notes", {100, 130, 640, 480}, 0, 0, true, {1, 1}};
    s.monitors = {MonitorInfo{{0, 0, 1440, 900}, {0, 32, 1440, 868}, true},
                  MonitorInfo{{1440, -100, 1280, 720}, {1440, -100, 1280, 720}, false}};
    s.desktops = DesktopsInfo{2, 0, false, false, {"a", "b"}};
    s.windows = {WindowPlace{"42", 0, 0}};
    return s;
}

// Answers from a state the test sets, and records what was sent.
class ScriptedChannel final : public PluginChannel {
public:
    std::optional<Snapshot> state = twoMonitors();
    std::vector<std::vector<Operation>> sent;
    // Applied to the state for each desktop operation (the compositor's doing).
    std::function<void(Snapshot&, const Operation&)> onDesktop;

    std::optional<Snapshot> apply(const std::vector<Operation>& ops, std::chrono::milliseconds) override {
        sent.push_back(ops);
        for (const auto& op : ops)
            if (op.kind == Operation::Kind::desktop && onDesktop && state) onDesktop(*state, op);
        return state;
    }
    void post(const std::vector<Operation>& ops) override { sent.push_back(ops); }
};

struct Port {
    ScriptedChannel* channel;
    CompositorSession session;
    CompositorAccessibility ax{session};
    CompositorWorkspace workspace{session};
    CompositorWindowServer server{session, {}};

    Port() : Port(std::make_unique<ScriptedChannel>()) {}
    explicit Port(std::unique_ptr<ScriptedChannel> c) : channel(c.get()), session(std::move(c)) {}
};

TEST(CompositorPort, APressReadsItsSnapshotAndAnswersWithOneFrame) {
    Port port;
    port.session.beginPress(twoMonitors());
    const auto app = port.workspace.frontmostApplication();
    ASSERT_TRUE(app);
    EXPECT_EQ(app->pid, 100);
    const Element appElement = port.ax.applicationElement(*app);
    const auto focused = port.ax.copyAttribute(appElement, AXName::focusedWindow);
    ASSERT_EQ(focused.status, AXStatus::success);
    const Element window = std::get<Element>(*focused.value);
    EXPECT_EQ(std::get<Point>(*port.ax.copyAttribute(window, AXName::position).value), (Point{100, 130}));

    // The mover's size, position, size: one frame, and later reads see it.
    port.ax.setAttribute(window, AXName::size, Size{720, 868});
    port.ax.setAttribute(window, AXName::position, Point{0, 32});
    port.ax.setAttribute(window, AXName::size, Size{720, 868});
    EXPECT_EQ(std::get<Size>(*port.ax.copyAttribute(window, AXName::size).value), (Size{720, 868}));
    port.ax.performAction(window, AXName::raise);
    port.ax.performAction(window, AXName::raise);
    EXPECT_EQ(port.session.endPress(), (std::vector<Operation>{Operation::frameOf("42", {0, 32, 720, 868}),
                                                               Operation::focusOn("42")}));
    EXPECT_TRUE(port.channel->sent.empty()) << "a press costs no round trip of its own";
}

TEST(CompositorPort, OffThePressPathEveryReadAndWriteGoesThroughTheChannel) {
    Port port;
    port.session.beginPress(twoMonitors());
    // Another thread (the desktop queue) is not the press's.
    std::thread([&] { EXPECT_TRUE(port.session.read()); }).join();
    port.session.endPress();
    EXPECT_EQ(port.channel->sent.size(), 1u);
    const Element window = CompositorElement::windowOf(100, "42");
    port.ax.setAttribute(window, AXName::position, Point{10, 20});
    ASSERT_FALSE(port.channel->sent.empty());
    EXPECT_EQ(port.channel->sent.back(),
              (std::vector<Operation>{Operation::frameOf("42", {10, 20, 640, 480})}));

    // A plugin that does not answer leaves nothing to act on.
    port.channel->state.reset();
    EXPECT_FALSE(port.workspace.frontmostApplication());
    EXPECT_EQ(port.ax.setAttribute(window, AXName::position, Point{0, 0}), AXStatus::cannotComplete);
}

TEST(CompositorPort, WindowsOfOtherApplicationsAndOddWindowsAreNotMoved) {
    Port port;
    Snapshot s = twoMonitors();
    s.window->normal = false;
    port.session.beginPress(s);
    EXPECT_FALSE(port.workspace.frontmostApplication()) << "a dock or dialog is nobody's frontmost window";
    port.session.endPress();

    port.session.beginPress(twoMonitors());
    const Element other = port.ax.applicationElement(Application{999, 0});
    EXPECT_EQ(port.ax.copyAttribute(other, AXName::focusedWindow).status, AXStatus::noValue);
    EXPECT_EQ(port.ax.copyAttribute(CompositorElement::windowOf(100, "7"), AXName::position).status,
              AXStatus::cannotComplete);
    port.session.endPress();
}

TEST(CompositorPort, ScreensComeInTheSeamsSpacesPrimaryFirst) {
    Snapshot s = twoMonitors();
    std::swap(s.monitors[0], s.monitors[1]);  // the compositor lists the secondary first
    const auto screens = screensFrom(s);
    ASSERT_EQ(screens.size(), 2u);
    EXPECT_EQ(screens[0].displayNumber, 2u);
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(screens[0].visibleFrame, (Rect{0, 0, 1440, 868}))
        << "the top bar is off the bottom-left space's top";
    EXPECT_EQ(screens[1].frame, (Rect{1440, 280, 1280, 720}));
}

// GNOME with dynamic workspaces: [Stay, Notes] on "a", "b" the empty last.
TEST(CompositorPort, ADesktopMadeForAWindowKeepsItsNumberWhileGnomeRenumbers) {
    auto channel = std::make_unique<ScriptedChannel>();
    channel->state->desktops.dynamic = true;
    channel->state->windows = {WindowPlace{"42", 0, 0}, WindowPlace{"7", 0, 0}};
    // Sending Notes to 3 creates "c" and puts it there; GNOME then drops the
    // empty "b" and adds an empty last one.
    channel->onDesktop = [](Snapshot& s, const Operation& op) {
        if (op.index == 2) {
            s.desktops = DesktopsInfo{3, 0, true, false, {"a", "b", "c"}};
            s.windows[0].desktop = 2;
        } else {
            s.windows[0].desktop = op.index;
        }
    };
    Port port(std::move(channel));
    const auto number = port.server.windowNumber(CompositorElement::windowOf(100, "42"))->number;
    ASSERT_TRUE(port.server.performBridgedMove({number}, 3));
    EXPECT_EQ(port.channel->sent.back(), (std::vector<Operation>{Operation::desktopOf("42", 2, true)}));

    Snapshot& s = *port.channel->state;
    s.desktops = DesktopsInfo{3, 0, true, false, {"a", "c", "d"}};
    s.windows[0].desktop = 1;
    const auto spaces = port.server.copySpacesForWindows(1, 0, {number});
    EXPECT_EQ(spaces, PlistValue(PlistValue::Array{PlistValue::integer(2), PlistValue::integer(3)}));
    // Following shows "c" as desktop 3.
    EXPECT_EQ(port.server.setCurrentSpace(1, "monitor-1", 3), 0);
    EXPECT_EQ(port.channel->sent.back(), (std::vector<Operation>{Operation::activateDesktop(1)}));
    s.desktops.current = 1;
    const auto displays = port.server.copyManagedDisplaySpaces(1);
    ASSERT_TRUE(displays);
    const auto& first =
        std::get<PlistValue::Dictionary>(std::get<PlistValue::Array>(displays->value)[0].value);
    EXPECT_EQ(std::get<PlistValue::Dictionary>(first.at("Current Space").value).at("ManagedSpaceID"),
              PlistValue::integer(3));

    // Once desktop 3 exists and holds windows, the number is its own again.
    s.desktops = DesktopsInfo{4, 1, true, false, {"a", "c", "e", "f"}};
    EXPECT_EQ(port.server.setCurrentSpace(1, "monitor-1", 3), 0);
    EXPECT_EQ(port.channel->sent.back(), (std::vector<Operation>{Operation::activateDesktop(2)}));
}

TEST(CompositorPort, StaticDesktopsAreCreatedWithTheMoveAndNeverAliased) {
    Port port;
    const auto number = port.server.windowNumber(CompositorElement::windowOf(100, "42"))->number;
    ASSERT_TRUE(port.server.performBridgedMove({number}, 6));
    EXPECT_EQ(port.channel->sent.back(), (std::vector<Operation>{Operation::desktopOf("42", 5, true)}));
    ASSERT_TRUE(port.server.performBridgedMove({number}, 2));
    EXPECT_EQ(port.channel->sent.back(), (std::vector<Operation>{Operation::desktopOf("42", 1, false)}));
    EXPECT_FALSE(port.server.performBridgedMove({number}, 0));
    EXPECT_FALSE(port.server.performBridgedMove({9999}, 2)) << "a window number never handed out";
    EXPECT_EQ(port.server.setCurrentSpace(1, "monitor-1", 5), -50) << "only desktops that exist are shown";
}

TEST(CompositorPort, BindingsAreNamedForGnomeAndRefusalsTakeThemOutOfForce) {
    EXPECT_EQ(bindingName("leftHalf"), "corvane-left-half");
    EXPECT_EQ(bindingName("maximize"), "corvane-maximize");
    EXPECT_EQ(bindingName("follow3"), "corvane-follow3");

    CompositorHotKeys keys(AcceleratorSyntax::gtk,
                           [](HotKeyID id) { return id.id == 0 ? "leftHalf" : "nextDisplay"; });
    int changes = 0, rebinds = 0;
    std::vector<HotKeyID> pressed;
    keys.installChangeHandler([&](HotKeyService::Change) { ++changes; });
    keys.installPressHandler([&](std::optional<HotKeyID> id) {
        pressed.push_back(*id);
        return noErr;
    });
    keys.onBindingsChanged([&] { ++rebinds; });
    const auto left = keys.registerHotKey(123, 0x1000 | 0x800 | 0x100, {1, 0});
    const auto next = keys.registerHotKey(124, 0x1000 | 0x800, {1, 1});
    ASSERT_TRUE(left && next);
    EXPECT_FALSE(keys.registerHotKey(124, 0x1000 | 0x800, {1, 2})) << "one key, one action";
    EXPECT_EQ(rebinds, 2);
    ASSERT_EQ(keys.bindings().size(), 2u);
    EXPECT_EQ(keys.bindings()[1].accelerator, "<Control><Alt>Right");

    keys.refused({"corvane-next-display"});
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(keys.isActive(*left));
    EXPECT_FALSE(keys.isActive(*next));
    keys.refused({"corvane-next-display"});
    EXPECT_EQ(changes, 1) << "the same report again changes nothing";
    EXPECT_FALSE(keys.press("corvane-next-display"));
    EXPECT_TRUE(keys.press("corvane-left-half"));
    EXPECT_FALSE(keys.press("maximize"));
    EXPECT_EQ(pressed, (std::vector<HotKeyID>{{1, 0}}));
    keys.unregisterHotKey(*left);
    EXPECT_EQ(rebinds, 3);
}

TEST(CompositorPort, UntilThePluginAttachesTheSettingsSayWhatIsMissing) {
    CompositorPort port(
        {"gnome", AcceleratorSyntax::gtk, {}, "Corvane's extension (log out and back in once)"},
        std::make_unique<ScriptedChannel>(), [](HotKeyID) { return std::string("leftHalf"); });
    EXPECT_EQ(port.backend(), "gnome");
    EXPECT_EQ(port.windowManager().facts().missingForPlacement,
              std::vector<std::string>{"Corvane's extension (log out and back in once)"});
    ASSERT_TRUE(port.hotKeys().registerHotKey(123, 0x1000 | 0x800 | 0x100, {1, 0}));
    const auto bindings =
        decodeBindings(port.attach(R"({"plugin": "gnome", "version": 1, "shell": "43.9"})"));
    ASSERT_TRUE(bindings);
    ASSERT_EQ(bindings->size(), 1u);
    EXPECT_EQ(bindings->front().name, "corvane-left-half");
    EXPECT_TRUE(port.isAttached());
    EXPECT_TRUE(port.windowManager().facts().missingForPlacement.empty());
    // A press without a readable state moves nothing.
    EXPECT_EQ(port.press("corvane-left-half", "{}"), "[]");
}

}  // namespace
}  // namespace corvane::compositor
