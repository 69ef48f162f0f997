#include "ports/compositor/protocol.hpp"

#include <gtest/gtest.h>

#include "ports/compositor/accelerator.hpp"

namespace corvane::compositor {
namespace {

// What the GNOME extension sends at a press: two monitors, a focused window
// on the second desktop, numbers as JavaScript writes them.
constexpr const char* kPress = R"({
  "window": {"id": "42", "pid": 1234, "title": "Notes", "appId": "org.example.Notes",
             "frame": [100, 130.0, 640, 480], "monitor": 1, "desktop": 1,
             "normal": true, "increment": [8, 17]},
  "monitors": [{"frame": [0, 0, 1440, 900], "workArea": [0, 32, 1440, 868], "primary": true},
               {"frame": [1440, 0, 1280, 720], "primary": false}],
  "desktops": {"count": 4, "current": 1, "dynamic": true, "primaryOnly": true},
  "windows": [{"id": "42", "desktop": 1, "monitor": 1}, {"id": "7", "desktop": -1, "monitor": 0}],
  "time": 123456})";

TEST(CompositorProtocol, SnapshotReadsEverythingAPlacementNeeds) {
    const auto s = decodeSnapshot(kPress);
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->window);
    EXPECT_EQ(s->window->id, "42");
    EXPECT_EQ(s->window->pid, 1234);
    EXPECT_EQ(s->window->frame, (Rect{100, 130, 640, 480}));
    EXPECT_EQ(s->window->increment, (Size{8, 17}));
    EXPECT_EQ(s->window->monitor, 1);
    ASSERT_EQ(s->monitors.size(), 2u);
    EXPECT_EQ(s->monitors[0].workArea, (Rect{0, 32, 1440, 868}));
    // No work area reported: the whole monitor is usable.
    EXPECT_EQ(s->monitors[1].workArea, s->monitors[1].frame);
    EXPECT_EQ(s->primary(), &s->monitors[0]);
    EXPECT_EQ(s->desktops, (DesktopsInfo{4, 1, true, true, {}}));
    EXPECT_EQ(s->time, 123456u);
    EXPECT_EQ(s->place("7"), (WindowPlace{"7", -1, 0}));
    EXPECT_FALSE(s->place("8"));
}

TEST(CompositorProtocol, SnapshotSurvivesItsOwnEncoding) {
    const auto s = decodeSnapshot(kPress);
    ASSERT_TRUE(s);
    EXPECT_EQ(decodeSnapshot(encodeSnapshot(*s)), s);
    Snapshot empty;
    empty.monitors.push_back(MonitorInfo{{0, 0, 800, 600}, {0, 0, 800, 600}, true});
    EXPECT_EQ(decodeSnapshot(encodeSnapshot(empty)), empty);
}

TEST(CompositorProtocol, MalformedSnapshotsNeverMoveAWindowSomewhereWrong) {
    // Not a snapshot at all.
    for (const char* text : {"", "not json", "[]", "42", "null", R"({"window": null})",
                             R"({"monitors": [{"frame": [0, 0, -5, 10]}]})",
                             R"({"monitors": [{"frame": [0, 0, 1e999, 10]}]})", R"({"monitors": "x"})"})
        EXPECT_FALSE(decodeSnapshot(text)) << text;

    const auto monitors = std::string(R"("monitors": [{"frame": [0, 0, 800, 600]}, 7, {"frame": [1]}])");
    // A window that cannot be read counts as none.
    for (const char* window :
         {R"("window": {"frame": [0, 0, 10, 10]})", R"("window": {"id": "", "frame": [0, 0, 10, 10]})",
          R"("window": {"id": "1", "frame": [0, 0, 10]})", R"("window": {"id": 5, "frame": [0, 0, 10, 10]})",
          R"("window": "1")"}) {
        const auto s = decodeSnapshot("{" + std::string(window) + "," + monitors + "}");
        ASSERT_TRUE(s) << window;
        EXPECT_FALSE(s->window) << window;
        EXPECT_EQ(s->monitors.size(), 1u);
    }

    // Out-of-range numbers are clamped to something that still means a place.
    const auto s = decodeSnapshot(
        R"({"window": {"id": "1", "frame": [0, 0, 10, 10], "monitor": 9, "pid": -3, "increment": [0, -2]},
            "monitors": [{"frame": [0, 0, 800, 600]}],
            "desktops": {"count": 0, "current": 12}, "time": -1})");
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->window);
    EXPECT_EQ(s->window->monitor, 0);
    EXPECT_EQ(s->window->pid, 0);
    EXPECT_EQ(s->window->increment, (Size{1, 1}));
    EXPECT_EQ(s->desktops.count, 1);
    EXPECT_EQ(s->desktops.current, 0);
    EXPECT_EQ(s->time, 0u);
}

TEST(CompositorProtocol, OperationsRoundTripAndUnknownOnesAreSkipped) {
    const std::vector<Operation> ops{Operation::frameOf("42", {0, 32, 720, 868}),
                                     Operation::monitorOf("42", 1),
                                     Operation::desktopOf("42", 2, true),
                                     Operation::activateDesktop(2, "42"),
                                     Operation::activateDesktop(0),
                                     Operation::focusOn("42"),
                                     Operation::beep(),
                                     Operation::rebind()};
    EXPECT_EQ(decodeOperations(encodeOperations(ops)), ops);
    EXPECT_EQ(encodeOperations({}), "[]");

    const auto mixed = decodeOperations(
        R"([{"op": "explode"}, {"op": "frame", "window": "1"}, {"op": "frame", "rect": [0,0,1,1]},
            {"op": "desktop", "window": "1", "index": -1}, {"op": "monitor", "window": "1", "index": 1.5},
            5, {"op": "focus", "window": "1"}])");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(*mixed, std::vector<Operation>{Operation::focusOn("1")});
    EXPECT_FALSE(decodeOperations("{}"));
    EXPECT_FALSE(decodeOperations("[{"));
}

TEST(CompositorProtocol, HelloBindingsAndReports) {
    EXPECT_EQ(decodeHello(R"({"plugin": "gnome", "version": 1, "shell": "43.9"})"),
              (PluginHello{"gnome", 1, "43.9"}));
    EXPECT_EQ(decodeHello(encodeHello({"kwin", 1, "5.27.5"})), (PluginHello{"kwin", 1, "5.27.5"}));
    EXPECT_FALSE(decodeHello(R"({"plugin": "gnome"})"));
    EXPECT_FALSE(decodeHello(R"({"plugin": "", "version": 1})"));
    EXPECT_FALSE(decodeHello("gnome"));

    const std::vector<Binding> bindings{{"corvane-leftHalf", 123, 6400, "<Control><Alt><Super>Left"}};
    EXPECT_EQ(decodeBindings(encodeBindings(bindings)), bindings);
    EXPECT_EQ(decodeBindings(encodeBindings({})), std::vector<Binding>{});

    EXPECT_EQ(decodeReport(R"({"refused": ["corvane-a", 3, "corvane-b"]})"),
              (std::vector<std::string>{"corvane-a", "corvane-b"}));
    EXPECT_EQ(decodeReport(encodeReport({})), std::vector<std::string>{});
    EXPECT_FALSE(decodeReport(R"({"refused": "corvane-a"})"));
    EXPECT_FALSE(decodeReport("[]"));
}

TEST(CompositorProtocol, AcceleratorsInEachPluginsSyntax) {
    constexpr std::uint32_t leftArrow = 123, keyC = 8, key2 = 19, keyMinus = 27;
    constexpr std::uint32_t ctrlAltCmd = 0x1000 | 0x800 | 0x100;
    EXPECT_EQ(accelerator(leftArrow, ctrlAltCmd, AcceleratorSyntax::gtk), "<Control><Alt><Super>Left");
    EXPECT_EQ(accelerator(leftArrow, ctrlAltCmd, AcceleratorSyntax::qt), "Ctrl+Alt+Meta+Left");
    EXPECT_EQ(accelerator(keyC, 0x1000 | 0x800 | 0x200, AcceleratorSyntax::gtk), "<Control><Alt><Shift>c");
    EXPECT_EQ(accelerator(keyC, 0x1000 | 0x800, AcceleratorSyntax::qt), "Ctrl+Alt+C");
    EXPECT_EQ(accelerator(key2, 0x1000 | 0x800, AcceleratorSyntax::gtk), "<Control><Alt>2");
    EXPECT_EQ(accelerator(keyMinus, 0x1000 | 0x800, AcceleratorSyntax::qt), "Ctrl+Alt+-");
    EXPECT_FALSE(accelerator(0xffff, ctrlAltCmd, AcceleratorSyntax::gtk));
}

}  // namespace
}  // namespace corvane::compositor
