#pragma once

#include <string_view>

#include "core/window_action.hpp"

namespace corvane {

// The name of the symbol shown beside an action in the menu and the settings
// window. The names are the product's own vocabulary (shape words such as
// "rectangle.lefthalf.filled"); symbol_icons draws each of them.
std::string_view symbol(const WindowAction& action);

// The symbol of the status mark itself: two windows side by side.
inline constexpr std::string_view statusMarkSymbol = "rectangle.split.2x1";

}  // namespace corvane
