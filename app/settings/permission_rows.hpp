#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/window_manager.hpp"

namespace corvane {

// What the top rows of the settings window depend on; re-read once a second
// while the window is visible.
struct PermissionState {
    bool trusted = true;
    bool sizeUpRunning = false;
    // Present where a separate window manager does the work (X11): its row
    // then stands in for the permission row, which has nothing to say there.
    std::optional<WindowManager::Facts> windowManager;
    friend bool operator==(const PermissionState&, const PermissionState&) = default;
};

struct PermissionRow {
    enum class Tone { brand, warning };
    enum class Action { none, requestAccess, quitSizeUp };
    std::string symbol;
    Tone tone = Tone::brand;
    std::string title;
    std::string detail;
    std::string buttonTitle;  // empty: no button
    Action action = Action::none;
    friend bool operator==(const PermissionRow&, const PermissionRow&) = default;
};

std::vector<PermissionRow> permissionRows(const PermissionState& state);

// The other window-placement tool that reacts to the same default shortcuts.
inline constexpr std::string_view sizeUpBundleIdentifier = "com.irradiatedsoftware.SizeUp";

}  // namespace corvane
