#include <algorithm>

#include "core/config.hpp"

// Queries for actions that share a key combination. Sharing is Shortcut
// equality (key code and modifiers); the key label never counts.

namespace corvane {

std::unordered_map<WindowAction, Shortcut> Config::allShortcuts() const {
    std::unordered_map<WindowAction, Shortcut> all;
    all.reserve(shortcuts.size() + spaceShortcuts.size());
    for (const auto& [placement, shortcut] : shortcuts)
        all.emplace(WindowAction::placement(placement), shortcut);
    for (const auto& [action, shortcut] : spaceShortcuts) all.emplace(WindowAction::space(action), shortcut);
    return all;
}

std::unordered_set<WindowAction> Config::conflictingActions() const {
    std::unordered_map<Shortcut, std::vector<WindowAction>> groups;
    for (const auto& [action, shortcut] : allShortcuts()) groups[shortcut].push_back(action);

    std::unordered_set<WindowAction> conflicting;
    for (const auto& [shortcut, actions] : groups) {
        if (actions.size() >= 2) conflicting.insert(actions.begin(), actions.end());
    }
    return conflicting;
}

std::unordered_set<Placement> Config::conflicts() const {
    std::unordered_set<Placement> placements;
    for (const WindowAction& action : conflictingActions()) {
        if (const auto placement = action.asPlacement()) placements.insert(*placement);
    }
    return placements;
}

std::vector<WindowAction> Config::actionsSharingWith(const WindowAction& action) const {
    const auto all = allShortcuts();
    const auto own = all.find(action);
    if (own == all.end()) return {};

    std::vector<WindowAction> partners;
    for (const auto& [other, shortcut] : all) {
        if (!(other == action) && shortcut == own->second) partners.push_back(other);
    }
    // Titles are distinct, so this order does not depend on the table's order.
    // string_view compares bytes, which for UTF-8 is Unicode scalar order.
    std::sort(partners.begin(), partners.end(),
              [](const WindowAction& a, const WindowAction& b) { return a.title() < b.title(); });
    return partners;
}

std::vector<Placement> Config::placementsSharingWith(Placement placement) const {
    const auto own = shortcuts.find(placement);
    if (own == shortcuts.end()) return {};

    std::vector<Placement> partners;
    for (const Placement other : Placement::allCases()) {
        if (other == placement) continue;
        const auto entry = shortcuts.find(other);
        if (entry != shortcuts.end() && entry->second == own->second) partners.push_back(other);
    }
    return partners;
}

}  // namespace corvane
