#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/platform/window_manager.hpp"
#include "app/settings/settings_words.hpp"
#include "core/config.hpp"
#include "core/window_action.hpp"

namespace corvane {

// One titled group of shortcut rows.
struct ShortcutSection {
    std::string header;
    std::vector<WindowAction> actions;
    std::string footer;  // empty for none
    bool isDesktops = false;
};

// Halves, Quarters, Displays and Desktops, in the window's order.
std::vector<ShortcutSection> shortcutSections(const SettingsWords& words);

// "Restore Default Shortcuts" has something to do: a placement or desktop
// shortcut differs from the defaults. The gap does not count.
bool canRestoreDefaults(const Config& config);

// The orange sentence under the desktop rows while desktop moves cannot
// work; absent while they can. Where the window manager is known it names
// what it lacks, so the user knows what to look for.
std::optional<std::string> desktopsUnavailableText(bool desktopsAvailable, const SettingsWords& words,
                                                   const std::optional<WindowManager::Facts>& windowManager);

// "A, B and C".
std::string joinedList(const std::vector<std::string>& items);

}  // namespace corvane
