#include "app/settings/permission_rows.hpp"

#include "app/settings/settings_sections.hpp"

namespace corvane {

namespace {

constexpr std::string_view kGranted = "checkmark.circle.fill";
constexpr std::string_view kWarning = "exclamationmark.triangle.fill";

PermissionRow accessibilityRow(bool trusted) {
    if (trusted)
        return {std::string(kGranted),
                PermissionRow::Tone::brand,
                "Accessibility access granted",
                "Corvane can move and resize windows.",
                "",
                PermissionRow::Action::none};
    return {std::string(kWarning),         PermissionRow::Tone::warning,
            "Accessibility access needed", "Without it, shortcuts can't move windows.",
            "Open System Settings",        PermissionRow::Action::requestAccess};
}

PermissionRow windowManagerRow(const WindowManager::Facts& facts) {
    PermissionRow row{std::string(kWarning),      PermissionRow::Tone::warning, "", "", "",
                      PermissionRow::Action::none};
    if (!facts.name) {
        row.title = "No window manager found";
        row.detail = "Corvane needs an EWMH window manager (openbox, xfwm4, KWin, …) to move windows.";
        return row;
    }
    row.title = facts.name->empty() ? "Window manager without a name" : "Window manager: " + *facts.name;
    std::vector<std::string> missing = facts.missingForPlacement;
    missing.insert(missing.end(), facts.missingForDesktops.begin(), facts.missingForDesktops.end());
    if (missing.empty()) {
        row.symbol = std::string(kGranted);
        row.tone = PermissionRow::Tone::brand;
        row.detail = "It offers everything Corvane needs to move windows and desktops.";
    } else if (!facts.missingForPlacement.empty()) {
        row.detail = "It lacks " + joinedList(missing) + ": shortcuts may not move windows.";
    } else {
        row.detail = "It lacks " + joinedList(missing) + ": desktop moves are off.";
    }
    return row;
}

}  // namespace

std::vector<PermissionRow> permissionRows(const PermissionState& state) {
    std::vector<PermissionRow> rows;
    rows.push_back(state.windowManager ? windowManagerRow(*state.windowManager)
                                       : accessibilityRow(state.trusted));
    if (state.sizeUpRunning)
        rows.push_back({std::string(kWarning), PermissionRow::Tone::warning, "SizeUp is still running",
                        "Both apps react to the same shortcuts.", "Quit SizeUp",
                        PermissionRow::Action::quitSizeUp});
    return rows;
}

}  // namespace corvane
