#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rect.hpp"

namespace corvane::i3ipc {

// What we read from the window manager's replies and events. Every parser
// takes the raw payload and accepts anything: a payload that is not JSON, or
// lacks what we need, gives an absent or empty result, never a throw.
// Rectangles are in the window manager's global layout coordinates.

// A window (a container holding a client) and where it lives.
struct WindowNode {
    std::int64_t id = 0;
    std::optional<pid_t> pid;
    // The X window of an X client (i3's, or one under Xwayland).
    std::optional<std::uint32_t> xWindow;
    Rect rect;
    bool floating = false;
    bool focused = false;
    std::string workspace;  // the workspace's name
    std::string output;
    Rect workspaceRect;  // the workspace's usable area (bars excluded)
};

struct Tree {
    // Every window, in tree order (tiled before floating within a workspace).
    std::vector<WindowNode> windows;
    // The focused window; absent when focus is on an empty workspace.
    std::optional<WindowNode> focused() const;
    std::optional<WindowNode> window(std::int64_t id) const;
};
std::optional<Tree> parseTree(std::string_view payload);

struct Output {
    std::string name;
    Rect rect;
    std::string currentWorkspace;
    bool active = true;
    bool primary = false;
};
// Only the outputs in use (active, with a rectangle).
std::vector<Output> parseOutputs(std::string_view payload);

struct WorkspaceInfo {
    std::optional<int> number;  // absent for workspaces that have none ("num": -1)
    std::string name;
    std::string output;
    Rect rect;
    bool focused = false;
    bool visible = false;
};
std::vector<WorkspaceInfo> parseWorkspaces(std::string_view payload);

// The outcome of a command list: one result per command.
struct CommandOutcome {
    bool success = false;
    // The first error the window manager gave, for the log; empty when none.
    std::string error;
};
CommandOutcome parseCommandReply(std::string_view payload);

// The command of a binding that fired ("nop corvane:leftHalf"); absent for
// other changes and unreadable events.
std::optional<std::string> parseBindingCommand(std::string_view payload);
// The "change" of a workspace event ("reload", "focus", ...).
std::optional<std::string> parseWorkspaceChange(std::string_view payload);
// Whether a subscribe request was accepted.
bool parseSubscribeReply(std::string_view payload);

}  // namespace corvane::i3ipc
