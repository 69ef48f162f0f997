#include "app/shell/menu_actions.hpp"

#include <type_traits>

namespace corvane {

void runMenuCommand(const MenuCommand& command, AppControl& control) {
    std::visit(
        [&control](const auto& chosen) {
            using Chosen = std::decay_t<decltype(chosen)>;
            if constexpr (std::is_same_v<Chosen, GrantAccessCommand>) {
                control.requestAccess();
            } else if constexpr (std::is_same_v<Chosen, ToggleEnabledCommand>) {
                control.setEnabled(!control.isEnabled());
            } else if constexpr (std::is_same_v<Chosen, MoveCommand>) {
                if (control.isEnabled()) control.perform(WindowAction::placement(chosen.placement), {});
            } else if constexpr (std::is_same_v<Chosen, SpaceCommand>) {
                if (control.isEnabled()) control.perform(WindowAction::space(chosen.action), {});
            } else if constexpr (std::is_same_v<Chosen, SettingsCommand>) {
                control.openSettings();
            } else if constexpr (std::is_same_v<Chosen, TourCommand>) {
                control.openTour();
            } else if constexpr (std::is_same_v<Chosen, QuitCommand>) {
                control.quit();
            }
        },
        command);
}

}  // namespace corvane
