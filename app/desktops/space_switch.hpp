#pragma once

#include <cstdint>
#include <string>

#include "app/desktops/discovery.hpp"
#include "app/platform/window_server.hpp"

namespace corvane::desktops {

// Asks the display to show the space and waits until it does, at most the
// display-switch timeout. False when the switch function is missing, the
// request is refused or the display never gets there; the caller decides
// which failure that is.
bool showSpace(WindowServer& server, const Discovery& discovery, const std::string& display,
               std::uint64_t space);

}  // namespace corvane::desktops
