#include "app/shell/menu_model.hpp"

#include <string>

#include "app/shell/action_symbol.hpp"
#include "app/shell/shortcut_text.hpp"

namespace corvane {

namespace {

// The placements in menu order, one group per separated block.
const std::vector<std::vector<Placement>>& placementGroups() {
    static const std::vector<std::vector<Placement>> groups{
        {Placement::leftHalf, Placement::rightHalf, Placement::topHalf, Placement::bottomHalf},
        {Placement::topLeft, Placement::topRight, Placement::bottomLeft, Placement::bottomRight},
        {Placement::maximize},
        {Placement::previousDisplay, Placement::nextDisplay},
    };
    return groups;
}

MenuItem commandItem(std::string title, MenuCommand command) {
    MenuItem item;
    item.title = std::move(title);
    item.command = command;
    return item;
}

template <class Action>
const Shortcut* findShortcut(const std::unordered_map<Action, Shortcut>& shortcuts, Action action) {
    const auto it = shortcuts.find(action);
    return it == shortcuts.end() ? nullptr : &it->second;
}

MenuItem desktopSubmenu(std::string title, bool follow, const MenuState& state) {
    MenuItem submenu;
    submenu.kind = MenuItem::Kind::submenu;
    submenu.title = std::move(title);
    for (const SpaceAction action : SpaceAction::allCases()) {
        if (action.followsWindow() != follow) continue;
        MenuItem item =
            commandItem(titleWithShortcut("Desktop " + std::to_string(action.number()),
                                          findShortcut(state.config.spaceShortcuts, action), state.names),
                        SpaceCommand{action});
        item.enabled = state.isEnabled;
        submenu.submenu.push_back(std::move(item));
    }
    return submenu;
}

}  // namespace

std::string titleWithShortcut(std::string_view title, const Shortcut* shortcut,
                              const KeyboardMap::Names& names) {
    std::string text(title);
    if (shortcut) text += "\t" + shortcutText(*shortcut, names);
    return text;
}

std::vector<MenuItem> buildStatusMenu(const MenuState& state) {
    std::vector<MenuItem> items;

    if (!state.isTrusted) {
        items.push_back(commandItem("Grant Accessibility Access…", GrantAccessCommand{}));
        items.push_back(MenuItem::separator());
    }

    items.push_back(
        commandItem(state.isEnabled ? "Turn Corvane Off" : "Turn Corvane On", ToggleEnabledCommand{}));
    items.push_back(MenuItem::separator());

    for (const auto& group : placementGroups()) {
        for (const Placement placement : group) {
            MenuItem item =
                commandItem(titleWithShortcut(placement.title(),
                                              findShortcut(state.config.shortcuts, placement), state.names),
                            MoveCommand{placement});
            item.enabled = state.isEnabled;
            item.symbol = std::string(symbol(WindowAction::placement(placement)));
            items.push_back(std::move(item));
        }
        items.push_back(MenuItem::separator());
    }

    if (state.desktopsAvailable) {
        items.push_back(desktopSubmenu("Send to Desktop", false, state));
        items.push_back(desktopSubmenu("Send to Desktop and Follow", true, state));
        items.push_back(MenuItem::separator());
    }

    MenuItem settings = commandItem("Settings…", SettingsCommand{});
    settings.keyEquivalent = KeyEquivalent::settings;
    items.push_back(std::move(settings));
    items.push_back(commandItem("Take the Tour…", TourCommand{}));
    MenuItem quit = commandItem("Quit Corvane", QuitCommand{});
    quit.keyEquivalent = KeyEquivalent::quit;
    items.push_back(std::move(quit));
    return items;
}

}  // namespace corvane
