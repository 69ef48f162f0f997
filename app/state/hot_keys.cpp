#include "app/state/hot_keys.hpp"

#include <utility>

namespace corvane {

const std::vector<WindowAction>& HotKeys::actions() {
    static const std::vector<WindowAction> all = [] {
        std::vector<WindowAction> list;
        for (const Placement p : Placement::allCases()) list.push_back(WindowAction::placement(p));
        for (const SpaceAction s : SpaceAction::allCases()) list.push_back(WindowAction::space(s));
        return list;
    }();
    return all;
}

HotKeys::HotKeys(HotKeyService& service, Callback onPress) : service_(service) {
    service_.installPressHandler([callback = std::move(onPress)](std::optional<HotKeyID> identity) {
        return handlePress(identity, callback);
    });
}

HotKeys::~HotKeys() = default;

bool HotKeys::registerHotKey(std::size_t position, const Shortcut& shortcut) {
    if (!shortcut.hasRequiredModifier()) return false;
    const HotKeyID identity{signature, static_cast<std::uint32_t>(position)};
    const auto reference = service_.registerHotKey(shortcut.keyCode, shortcut.modifiers, identity);
    if (!reference) return false;
    refs_.push_back({position, *reference});
    return true;
}

void HotKeys::unregisterAll() {
    for (const auto& held : refs_) service_.unregisterHotKey(held.reference);
    refs_.clear();
}

std::vector<std::size_t> HotKeys::positionsOutOfForce() const {
    std::vector<std::size_t> positions;
    for (const auto& held : refs_)
        if (!service_.isActive(held.reference)) positions.push_back(held.position);
    return positions;
}

std::int32_t HotKeys::handlePress(std::optional<HotKeyID> identity, const Callback& callback) {
    if (!identity || identity->signature != signature) return eventNotHandledErr;
    const auto& all = actions();
    if (identity->id >= all.size()) return eventNotHandledErr;
    if (callback) callback(all[identity->id]);
    return noErr;
}

}  // namespace corvane
