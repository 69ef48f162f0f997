#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rect.hpp"

namespace corvane::compositor {

// The messages between Corvane and a compositor plugin (protocol.md beside
// this file). Every decoder takes the raw text and accepts anything: text
// that is not JSON or lacks what is needed gives an absent result, never a
// throw. Rectangles are in the compositor's global coordinates, top-left
// origin.

inline constexpr int protocolVersion = 1;
// Compositors keep one namespace of binding names for everyone.
inline constexpr std::string_view bindingPrefix = "corvane-";

struct PluginHello {
    std::string plugin;  // "gnome" or "kwin"
    int version = 0;
    std::string shell;  // the compositor's version, for the log
    friend bool operator==(const PluginHello&, const PluginHello&) = default;
};
std::optional<PluginHello> decodeHello(std::string_view text);
std::string encodeHello(const PluginHello& hello);

struct Binding {
    std::string name;  // "corvane-leftHalf"
    std::uint32_t keyCode = 0;
    std::uint32_t modifiers = 0;
    std::string accelerator;  // in the plugin's own syntax
    friend bool operator==(const Binding&, const Binding&) = default;
};
std::string encodeBindings(const std::vector<Binding>& bindings);
std::optional<std::vector<Binding>> decodeBindings(std::string_view text);

// The names the compositor refused; absent when the report is unreadable.
std::optional<std::vector<std::string>> decodeReport(std::string_view text);
std::string encodeReport(const std::vector<std::string>& refused);

struct WindowInfo {
    std::string id;
    pid_t pid = 0;
    std::string title;
    std::string appId;
    Rect frame;
    int monitor = 0;
    int desktop = 0;  // -1: on every desktop
    bool normal = true;
    Size increment{1, 1};
    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

struct MonitorInfo {
    Rect frame;
    Rect workArea;
    bool primary = false;
    friend bool operator==(const MonitorInfo&, const MonitorInfo&) = default;
};

struct DesktopsInfo {
    int count = 1;
    int current = 0;
    bool dynamic = false;
    bool primaryOnly = false;
    // One per desktop where the plugin names them; empty otherwise.
    std::vector<std::string> ids;
    friend bool operator==(const DesktopsInfo&, const DesktopsInfo&) = default;
};

// Where one window lives, for desktop moves.
struct WindowPlace {
    std::string id;
    int desktop = 0;
    int monitor = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct Snapshot {
    std::optional<WindowInfo> window;
    std::vector<MonitorInfo> monitors;
    DesktopsInfo desktops;
    std::vector<WindowPlace> windows;
    std::uint32_t time = 0;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;

    // The primary monitor, else the first; absent when there is none.
    const MonitorInfo* primary() const;
    std::optional<WindowPlace> place(std::string_view window) const;
};
// Absent when the text is not a snapshot at all. A window entry that cannot
// be read is taken as no window (nothing to move is safer than a wrong
// frame); unreadable monitors are left out, and a snapshot whose monitors
// are all unreadable is absent.
std::optional<Snapshot> decodeSnapshot(std::string_view text);
std::string encodeSnapshot(const Snapshot& snapshot);

struct Operation {
    enum class Kind { frame, monitor, desktop, activateDesktop, focus, beep, rebind };
    Kind kind = Kind::beep;
    std::string window;   // frame, monitor, desktop, focus; activateDesktop's optional focus
    Rect rect;            // frame
    int index = 0;        // monitor, desktop, activateDesktop
    bool create = false;  // desktop
    friend bool operator==(const Operation&, const Operation&) = default;

    static Operation frameOf(std::string window, Rect rect);
    static Operation monitorOf(std::string window, int index);
    static Operation desktopOf(std::string window, int index, bool create);
    static Operation activateDesktop(int index, std::string focus = {});
    static Operation focusOn(std::string window);
    static Operation beep();
    static Operation rebind();
};
std::string encodeOperations(const std::vector<Operation>& operations);
// Unknown or malformed entries are skipped, as the plugins skip them.
std::optional<std::vector<Operation>> decodeOperations(std::string_view text);

}  // namespace corvane::compositor
