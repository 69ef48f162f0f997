#include "core/config.hpp"

#include <string>

namespace corvane {

namespace {

constexpr std::uint32_t kControlOptionCommand = Shortcut::control | Shortcut::option | Shortcut::command;
constexpr std::uint32_t kControlOptionShift = Shortcut::control | Shortcut::option | Shortcut::shift;
constexpr std::uint32_t kControlOption = Shortcut::control | Shortcut::option;

// Key codes of the digit keys 1...9 on the platform's keyboard layout (not in order).
constexpr std::array<std::uint32_t, 9> kDigitKeyCodes{18, 19, 20, 21, 23, 22, 26, 28, 25};

constexpr std::uint32_t kLeftArrow = 123;
constexpr std::uint32_t kRightArrow = 124;
constexpr std::uint32_t kDownArrow = 125;
constexpr std::uint32_t kUpArrow = 126;
constexpr std::uint32_t kKeyM = 46;

Config makeDefaults() {
    Config config;
    config.shortcuts = {
        {Placement::leftHalf, {kLeftArrow, kControlOptionCommand, "←"}},
        {Placement::rightHalf, {kRightArrow, kControlOptionCommand, "→"}},
        {Placement::topHalf, {kUpArrow, kControlOptionCommand, "↑"}},
        {Placement::bottomHalf, {kDownArrow, kControlOptionCommand, "↓"}},
        {Placement::topLeft, {kLeftArrow, kControlOptionShift, "←"}},
        {Placement::topRight, {kUpArrow, kControlOptionShift, "↑"}},
        {Placement::bottomLeft, {kDownArrow, kControlOptionShift, "↓"}},
        {Placement::bottomRight, {kRightArrow, kControlOptionShift, "→"}},
        {Placement::maximize, {kKeyM, kControlOptionCommand, "M"}},
        {Placement::previousDisplay, {kLeftArrow, kControlOption, "←"}},
        {Placement::nextDisplay, {kRightArrow, kControlOption, "→"}},
    };
    for (const SpaceAction action : SpaceAction::allCases()) {
        const int n = action.number();
        const std::uint32_t modifiers = action.followsWindow() ? kControlOptionShift : kControlOption;
        config.spaceShortcuts.emplace(
            action, Shortcut{kDigitKeyCodes[static_cast<std::size_t>(n - 1)], modifiers, std::to_string(n)});
    }
    config.gap = 0;
    return config;
}

}  // namespace

const Config& Config::defaults() {
    // Function-local static: built once on first use, thread-safe by the language.
    static const Config instance = makeDefaults();
    return instance;
}

}  // namespace corvane
