#include "ports/i3ipc/ipc_replies.hpp"

#include <gtest/gtest.h>

#include "ports/i3ipc/i3_screens.hpp"
#include "ports/i3ipc/i3_window_server.hpp"

namespace corvane::i3ipc {
namespace {

// A trimmed sway tree: two outputs, a tiled terminal, a floating window
// that has focus, and the scratchpad's internal output, which holds windows
// that are not on any visible workspace.
constexpr const char* kTree = R"({
  "id": 1, "type": "root", "rect": {"x":0,"y":0,"width":2720,"height":900},
  "nodes": [
    {"id": 2, "type": "output", "name": "__i3", "rect": {"x":0,"y":0,"width":0,"height":0},
     "nodes": [{"id": 3, "type": "workspace", "name": "__i3_scratch",
                "rect": {"x":0,"y":0,"width":0,"height":0}, "nodes": [], "floating_nodes": []}]},
    {"id": 4, "type": "output", "name": "HEADLESS-1", "rect": {"x":0,"y":0,"width":1440,"height":900},
     "nodes": [{"id": 5, "type": "workspace", "name": "1", "num": 1,
                "rect": {"x":0,"y":30,"width":1440,"height":870},
                "nodes": [{"id": 6, "type": "con", "app_id": "foot", "pid": 100, "focused": false,
                           "rect": {"x":0,"y":30,"width":1440,"height":870}, "nodes": []}],
                "floating_nodes": [{"id": 7, "type": "floating_con", "app_id": null, "window": 4194305,
                                    "pid": 200, "focused": true,
                                    "rect": {"x":100,"y":130,"width":640,"height":480}, "nodes": []}]}]},
    {"id": 8, "type": "output", "name": "HEADLESS-2", "rect": {"x":1440,"y":0,"width":1280,"height":720},
     "nodes": [{"id": 9, "type": "workspace", "name": "2", "num": 2,
                "rect": {"x":1440,"y":0,"width":1280,"height":720}, "nodes": [], "floating_nodes": []}]}
  ]})";

TEST(IpcReplies, TreeGivesWindowsWithTheirWorkspaceAndOutput) {
    const auto tree = parseTree(kTree);
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->windows.size(), 2u);
    const auto focused = tree->focused();
    ASSERT_TRUE(focused);
    EXPECT_EQ(focused->id, 7);
    EXPECT_EQ(focused->pid, 200);
    EXPECT_TRUE(focused->floating);
    EXPECT_EQ(focused->rect, (Rect{100, 130, 640, 480}));
    EXPECT_EQ(focused->output, "HEADLESS-1");
    EXPECT_EQ(focused->workspace, "1");
    EXPECT_EQ(focused->workspaceRect, (Rect{0, 30, 1440, 870}));
    const auto tiled = tree->window(6);
    ASSERT_TRUE(tiled);
    EXPECT_FALSE(tiled->floating);
    EXPECT_FALSE(tree->window(5)) << "a workspace is not a window";
}

TEST(IpcReplies, TheTreeIsReadWhateverTheKeyOrderAndWhateverElseANodeCarries) {
    // Children before the workspace's own name and rectangle; i3's extra keys
    // with objects and arrays of their own, some holding keys we read
    // elsewhere ("nodes", "rect", "id"), which must not be taken for ours.
    const auto tree = parseTree(R"({"nodes":[{"nodes":[
        {"floating_nodes":[{"nodes":[],"rect":{"x":5,"y":6,"width":7,"height":8},"type":"floating_con",
          "window":42,"id":11,"focused":true,
          "window_properties":{"class":"t","nodes":[{"type":"con","id":99,"window":1,
                                                     "rect":{"x":0,"y":0,"width":1,"height":1}}]},
          "swallows":[{"id":98,"rect":{"x":0,"y":0,"width":9,"height":9}}],
          "marks":["a","b"],"gaps":{"inner":0,"rect":{"x":1}},"focus":[1,2,3],"urgent":false,
          "geometry":{"x":0,"y":0,"width":1,"height":1,"extra":[[[]]]}}],
         "rect":{"x":0,"y":20,"width":1440,"height":880,"nodes":[]},"name":"1","type":"workspace","num":1}],
      "type":"output","name":"OUT"}],"type":"root","id":1})");
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->windows.size(), 1u);
    const auto& w = tree->windows[0];
    EXPECT_EQ(w.id, 11);
    EXPECT_EQ(w.xWindow, 42u);
    EXPECT_TRUE(w.focused);
    EXPECT_TRUE(w.floating);
    EXPECT_EQ(w.rect, (Rect{5, 6, 7, 8}));
    EXPECT_EQ(w.workspace, "1");
    EXPECT_EQ(w.output, "OUT");
    EXPECT_EQ(w.workspaceRect, (Rect{0, 20, 1440, 880}));
}

TEST(IpcReplies, FocusOnAnEmptyWorkspaceIsNoWindow) {
    const auto tree = parseTree(R"({"type":"root","nodes":[{"type":"output","name":"A","nodes":[
        {"type":"workspace","name":"3","focused":true,"rect":{"x":0,"y":0,"width":10,"height":10}}]}]})");
    ASSERT_TRUE(tree);
    EXPECT_FALSE(tree->focused());
}

TEST(IpcReplies, MalformedAndTruncatedRepliesGiveNothingAndNeverThrow) {
    const std::string truncated = std::string(kTree).substr(0, 300);
    for (const std::string& payload : {std::string(), truncated, std::string("null"), std::string("[1,2]"),
                                       std::string("{\"nodes\": 5}"), std::string("\xff\xfe garbage")}) {
        SCOPED_TRACE(payload);
        const auto tree = parseTree(payload);
        if (tree) {
            EXPECT_TRUE(tree->windows.empty());
        }
        EXPECT_TRUE(parseOutputs(payload).empty());
        EXPECT_TRUE(parseWorkspaces(payload).empty());
        EXPECT_FALSE(parseCommandReply(payload).success);
        EXPECT_FALSE(parseBindingCommand(payload));
        EXPECT_FALSE(parseSubscribeReply(payload));
    }
    // Fields of the wrong kind drop that window, not the whole tree.
    const auto tree = parseTree(R"({"type":"root","nodes":[{"type":"workspace","name":"1","nodes":[
        {"type":"con","id":"x","app_id":"a","rect":{"x":0,"y":0,"width":1,"height":1}},
        {"type":"con","id":3,"app_id":"a","rect":{"x":0,"y":0,"width":-5,"height":1}},
        {"type":"con","id":4,"app_id":"a","pid":"12","rect":{"x":0,"y":0,"width":5,"height":1}}]}]})");
    ASSERT_TRUE(tree);
    ASSERT_EQ(tree->windows.size(), 1u);
    EXPECT_EQ(tree->windows[0].id, 4);
    EXPECT_FALSE(tree->windows[0].pid);
}

TEST(IpcReplies, AbsurdlyDeepTreesAreCutOffInsteadOfOverflowingTheStack) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += R"({"type":"con","nodes":[)";
    // nlohmann refuses nothing here, so our own depth limit must hold.
    deep += std::string(100000, ']');
    EXPECT_FALSE(parseTree(deep)) << "unbalanced text is not JSON";
    std::string balanced;
    for (int i = 0; i < 200000; ++i) balanced += R"({"type":"con","nodes":[)";
    for (int i = 0; i < 200000; ++i) balanced += "]}";
    EXPECT_TRUE(parseTree(balanced));
}

TEST(IpcReplies, CommandRepliesFailWhenAnyCommandFailed) {
    EXPECT_TRUE(parseCommandReply(R"([{"success":true},{"success":true}])").success);
    const auto refused = parseCommandReply(
        R"([{"success":true},{"success":false,"parse_error":true,"error":"Unknown key 'Hyper_Q'"}])");
    EXPECT_FALSE(refused.success);
    EXPECT_EQ(refused.error, "Unknown key 'Hyper_Q'");
    EXPECT_FALSE(parseCommandReply("[]").success) << "no result is no success";
}

TEST(IpcReplies, EventsGiveTheBoundCommandAndTheWorkspaceChange) {
    EXPECT_EQ(
        parseBindingCommand(
            R"({"change":"run","binding":{"command":"nop corvane:leftHalf","event_state_mask":["Mod4"]}})"),
        "nop corvane:leftHalf");
    EXPECT_FALSE(parseBindingCommand(R"({"change":"other","binding":{"command":"nop corvane:x"}})"));
    EXPECT_EQ(parseWorkspaceChange(R"({"change":"reload","old":null,"current":null})"), "reload");
}

TEST(IpcReplies, ScreensPutThePrimaryFirstAndUseTheWorkspaceAsUsableArea) {
    const auto outputs = parseOutputs(R"([
      {"name":"HEADLESS-2","active":true,"rect":{"x":1440,"y":0,"width":1280,"height":720},"current_workspace":"2"},
      {"name":"HEADLESS-1","active":true,"rect":{"x":0,"y":0,"width":1440,"height":900},"current_workspace":"1"},
      {"name":"OFF","active":false,"rect":{"x":0,"y":0,"width":0,"height":0}}])");
    ASSERT_EQ(outputs.size(), 2u);
    const auto workspaces = parseWorkspaces(R"([
      {"num":1,"name":"1","output":"HEADLESS-1","rect":{"x":0,"y":30,"width":1440,"height":870},"focused":true},
      {"num":-1,"name":"mail","output":"HEADLESS-2","rect":{"x":1440,"y":0,"width":1280,"height":720}},
      {"num":2,"name":"2","output":"HEADLESS-2","rect":{"x":1440,"y":0,"width":1280,"height":690}}])");
    ASSERT_EQ(workspaces.size(), 3u);
    EXPECT_FALSE(workspaces[1].number);
    const auto screens = screensFrom(outputs, workspaces);
    ASSERT_EQ(screens.size(), 2u);
    // Bottom-left space of the primary (900 high): a bar at the top of the
    // primary shortens the usable area from above.
    EXPECT_EQ(screens[0].frame, (Rect{0, 0, 1440, 900}));
    EXPECT_EQ(screens[0].visibleFrame, (Rect{0, 0, 1440, 870}));
    EXPECT_EQ(screens[0].displayNumber, 2u);
    EXPECT_EQ(screens[1].frame, (Rect{1440, 180, 1280, 720}));
    EXPECT_EQ(screens[1].visibleFrame, (Rect{1440, 210, 1280, 690}));
}

}  // namespace
}  // namespace corvane::i3ipc

namespace corvane::i3ipc {
namespace {

TEST(IpcReplies, WorkspacesBecomeTheSameDesktopListOnEveryOutput) {
    const std::vector<Output> outputs{{"A", {0, 0, 100, 100}, "2", true, false},
                                      {"B", {100, 0, 100, 100}, "notes", true, false}};
    const std::vector<WorkspaceInfo> workspaces{{2, "2", "A", {}, true, true},
                                                {12, "12", "A", {}, false, false},
                                                {std::nullopt, "notes", "B", {}, false, true}};
    const PlistValue displays = displaySpaces(outputs, workspaces);
    const auto* list = displays.as<PlistValue::Array>();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    const auto& a = *(*list)[0].as<PlistValue::Dictionary>();
    EXPECT_EQ(a.at("Display Identifier"), PlistValue(std::string("A")));
    EXPECT_EQ(a.at("Current Space").as<PlistValue::Dictionary>()->at("ManagedSpaceID"),
              PlistValue::integer(2));
    // 1 to 9 are there to send to before they exist; 12 exists, so 10 to 12 too.
    EXPECT_EQ(a.at("Spaces").as<PlistValue::Array>()->size(), 12u);
    const auto& b = *(*list)[1].as<PlistValue::Dictionary>();
    EXPECT_EQ(b.at("Current Space").as<PlistValue::Dictionary>()->at("ManagedSpaceID"),
              PlistValue::integer(0))
        << "a named workspace is no numbered desktop";
    EXPECT_EQ(b.at("Spaces"), a.at("Spaces"));
}

}  // namespace
}  // namespace corvane::i3ipc
