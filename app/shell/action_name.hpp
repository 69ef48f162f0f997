#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/window_action.hpp"

namespace corvane {

// The action with this raw value ("leftHalf", "follow3"); exact and
// case-sensitive, absent for anything else.
std::optional<WindowAction> windowActionNamed(std::string_view rawValue);

// Every raw value, placements then desktop actions, separated by ", ":
// what a message about an unknown name lists.
std::string allActionNames();

}  // namespace corvane
