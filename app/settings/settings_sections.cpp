#include "app/settings/settings_sections.hpp"

namespace corvane {

namespace {

std::vector<WindowAction> placements(std::initializer_list<Placement> list) {
    std::vector<WindowAction> actions;
    for (const Placement p : list) actions.push_back(WindowAction::placement(p));
    return actions;
}

}  // namespace

std::vector<ShortcutSection> shortcutSections(const SettingsWords& words) {
    std::vector<ShortcutSection> sections;
    sections.push_back({"Halves",
                        placements({Placement::leftHalf, Placement::rightHalf, Placement::topHalf,
                                    Placement::bottomHalf, Placement::maximize}),
                        "", false});
    sections.push_back(
        {"Quarters",
         placements({Placement::topLeft, Placement::topRight, Placement::bottomLeft, Placement::bottomRight}),
         "", false});
    sections.push_back({"Displays", placements({Placement::previousDisplay, Placement::nextDisplay}),
                        "Moves between physical monitors.", false});
    ShortcutSection desktops{words.desktopsHeader, {}, words.desktopsFooter, true};
    for (const SpaceAction action : SpaceAction::allCases())
        desktops.actions.push_back(WindowAction::space(action));
    sections.push_back(std::move(desktops));
    return sections;
}

bool canRestoreDefaults(const Config& config) {
    const Config& defaults = Config::defaults();
    return config.shortcuts != defaults.shortcuts || config.spaceShortcuts != defaults.spaceShortcuts;
}

std::string joinedList(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " and " : ", ";
        text += items[i];
    }
    return text;
}

std::optional<std::string> desktopsUnavailableText(bool desktopsAvailable, const SettingsWords& words,
                                                   const std::optional<WindowManager::Facts>& windowManager) {
    if (desktopsAvailable) return std::nullopt;
    if (!windowManager) return words.desktopsUnavailable;
    if (!windowManager->name)
        return "Desktop moves need a window manager that supports EWMH desktops; none is running.";
    if (windowManager->missingForDesktops.empty()) return words.desktopsUnavailable;
    const std::string who = windowManager->name->empty() ? "This window manager" : *windowManager->name;
    return "Desktop moves need " + joinedList(windowManager->missingForDesktops) + ", which " + who +
           " does not offer.";
}

}  // namespace corvane
