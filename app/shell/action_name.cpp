#include "app/shell/action_name.hpp"

namespace corvane {

std::optional<WindowAction> windowActionNamed(std::string_view rawValue) {
    if (const auto placement = Placement::fromRawValue(rawValue)) return WindowAction::placement(*placement);
    if (const auto space = SpaceAction::fromRawValue(rawValue)) return WindowAction::space(*space);
    return std::nullopt;
}

std::string allActionNames() {
    std::string names;
    const auto add = [&names](std::string_view name) {
        if (!names.empty()) names += ", ";
        names += name;
    };
    for (const Placement placement : Placement::allCases()) add(placement.rawValue());
    for (const SpaceAction action : SpaceAction::allCases()) add(action.rawValue());
    return names;
}

}  // namespace corvane
