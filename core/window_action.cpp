#include "core/window_action.hpp"

#include <string_view>
#include <utility>

#include "core/hash_combine.hpp"

namespace corvane {

namespace {

struct PlacementInfo {
    std::string_view rawValue;
    std::string_view title;
};

// Indexed by Placement::Case; the raw values are persistent identifiers.
constexpr std::array<PlacementInfo, 11> kPlacements{{
    {"leftHalf", "Left Half"},
    {"rightHalf", "Right Half"},
    {"topHalf", "Top Half"},
    {"bottomHalf", "Bottom Half"},
    {"topLeft", "Upper Left Quarter"},
    {"topRight", "Upper Right Quarter"},
    {"bottomLeft", "Lower Left Quarter"},
    {"bottomRight", "Lower Right Quarter"},
    {"maximize", "Full Screen"},
    {"previousDisplay", "Previous Display"},
    {"nextDisplay", "Next Display"},
}};

struct SpaceInfo {
    std::string_view rawValue;
    std::string_view title;
};

// Indexed by SpaceAction::Case: the nine sends, then the nine follows.
constexpr std::array<SpaceInfo, 18> kSpaces{{
    {"send1", "Send to Desktop 1"},
    {"send2", "Send to Desktop 2"},
    {"send3", "Send to Desktop 3"},
    {"send4", "Send to Desktop 4"},
    {"send5", "Send to Desktop 5"},
    {"send6", "Send to Desktop 6"},
    {"send7", "Send to Desktop 7"},
    {"send8", "Send to Desktop 8"},
    {"send9", "Send to Desktop 9"},
    {"follow1", "Send to Desktop 1 & Follow"},
    {"follow2", "Send to Desktop 2 & Follow"},
    {"follow3", "Send to Desktop 3 & Follow"},
    {"follow4", "Send to Desktop 4 & Follow"},
    {"follow5", "Send to Desktop 5 & Follow"},
    {"follow6", "Send to Desktop 6 & Follow"},
    {"follow7", "Send to Desktop 7 & Follow"},
    {"follow8", "Send to Desktop 8 & Follow"},
    {"follow9", "Send to Desktop 9 & Follow"},
}};

constexpr std::size_t kSendCount = 9;

// Every case in declaration order; the types have no default value to fill an array with.
template <typename T, std::size_t... I>
constexpr std::array<T, sizeof...(I)> makeAllCases(std::index_sequence<I...>) {
    return {T(static_cast<typename T::Case>(I))...};
}

}  // namespace

const std::array<Placement, 11>& Placement::allCases() {
    static constexpr auto cases = makeAllCases<Placement>(std::make_index_sequence<11>{});
    return cases;
}

std::optional<Placement> Placement::fromRawValue(std::string_view raw) {
    for (const Placement p : allCases()) {
        if (p.rawValue() == raw) return p;
    }
    return std::nullopt;
}

std::string_view Placement::rawValue() const {
    return kPlacements[case_].rawValue;
}
std::string_view Placement::title() const {
    return kPlacements[case_].title;
}

std::optional<int> Placement::displayStep() const {
    switch (case_) {
        case previousDisplay:
            return -1;
        case nextDisplay:
            return 1;
        default:
            return std::nullopt;
    }
}

const std::array<SpaceAction, 18>& SpaceAction::allCases() {
    static constexpr auto cases = makeAllCases<SpaceAction>(std::make_index_sequence<18>{});
    return cases;
}

std::optional<SpaceAction> SpaceAction::fromRawValue(std::string_view raw) {
    for (const SpaceAction s : allCases()) {
        if (s.rawValue() == raw) return s;
    }
    return std::nullopt;
}

std::string_view SpaceAction::rawValue() const {
    return kSpaces[case_].rawValue;
}
std::string_view SpaceAction::title() const {
    return kSpaces[case_].title;
}
int SpaceAction::number() const {
    return static_cast<int>(case_ % kSendCount) + 1;
}
bool SpaceAction::followsWindow() const {
    return case_ >= kSendCount;
}

std::optional<Placement> WindowAction::asPlacement() const {
    if (const auto* p = std::get_if<Placement>(&value_)) return *p;
    return std::nullopt;
}

std::optional<SpaceAction> WindowAction::asSpace() const {
    if (const auto* s = std::get_if<SpaceAction>(&value_)) return *s;
    return std::nullopt;
}

std::string_view WindowAction::title() const {
    return std::visit([](auto action) { return action.title(); }, value_);
}

}  // namespace corvane

std::size_t std::hash<corvane::Placement>::operator()(corvane::Placement p) const noexcept {
    return std::hash<std::string_view>{}(p.rawValue());
}

std::size_t std::hash<corvane::SpaceAction>::operator()(corvane::SpaceAction s) const noexcept {
    return std::hash<std::string_view>{}(s.rawValue());
}

std::size_t std::hash<corvane::WindowAction>::operator()(const corvane::WindowAction& a) const noexcept {
    const auto placement = a.asPlacement();
    const std::size_t discriminator = placement ? 0 : 1;
    const std::string_view raw = placement ? placement->rawValue() : a.asSpace()->rawValue();
    return corvane::detail::hashCombine(std::hash<std::size_t>{}(discriminator),
                                        std::hash<std::string_view>{}(raw));
}
