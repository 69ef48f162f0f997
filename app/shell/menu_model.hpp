#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/platform/keyboard_map.hpp"
#include "core/config.hpp"
#include "core/window_action.hpp"

namespace corvane {

// What a menu item does when chosen. Each is a plain value so that the menu
// can be described, compared and tested without a toolkit.
struct GrantAccessCommand {
    friend bool operator==(const GrantAccessCommand&, const GrantAccessCommand&) = default;
};
struct ToggleEnabledCommand {
    friend bool operator==(const ToggleEnabledCommand&, const ToggleEnabledCommand&) = default;
};
struct MoveCommand {
    Placement placement;
    friend bool operator==(const MoveCommand&, const MoveCommand&) = default;
};
struct SpaceCommand {
    SpaceAction action;
    friend bool operator==(const SpaceCommand&, const SpaceCommand&) = default;
};
struct SettingsCommand {
    friend bool operator==(const SettingsCommand&, const SettingsCommand&) = default;
};
struct TourCommand {
    friend bool operator==(const TourCommand&, const TourCommand&) = default;
};
struct QuitCommand {
    friend bool operator==(const QuitCommand&, const QuitCommand&) = default;
};

using MenuCommand = std::variant<GrantAccessCommand, ToggleEnabledCommand, MoveCommand, SpaceCommand,
                                 SettingsCommand, TourCommand, QuitCommand>;

// The platform's standard key equivalents shown beside an item (held with
// the primary modifier while the menu is open).
enum class KeyEquivalent { none, settings, quit };

// One entry of the status menu, as a value.
struct MenuItem {
    enum class Kind { command, separator, submenu };

    Kind kind = Kind::command;
    // The full title. When the action has a shortcut it ends in a tab and the
    // shortcut's display text, which menus show right-aligned.
    std::string title;
    // Name of the symbol drawn beside the title; empty for none.
    std::string symbol;
    bool enabled = true;
    KeyEquivalent keyEquivalent = KeyEquivalent::none;
    // Absent for separators and submenu headers.
    std::optional<MenuCommand> command;
    // The items of a submenu (whose own title is `title`).
    std::vector<MenuItem> submenu;

    static MenuItem separator() {
        return MenuItem{Kind::separator, {}, {}, true, KeyEquivalent::none, {}, {}};
    }
};

// Everything the menu is derived from. It is built afresh at every opening,
// so it always shows the current permission, switch and shortcuts.
struct MenuState {
    bool isTrusted = true;
    bool isEnabled = true;
    const Config& config;
    bool desktopsAvailable = false;
    // How shortcuts are written on this platform.
    KeyboardMap::Names names{};
};

// The status menu's items, top to bottom.
std::vector<MenuItem> buildStatusMenu(const MenuState& state);

// "Title", or "Title\t⌃⌥⌘←" ("Title\tCtrl+Alt+Super+←") when the action has a shortcut.
std::string titleWithShortcut(std::string_view title, const Shortcut* shortcut,
                              const KeyboardMap::Names& names);

}  // namespace corvane
