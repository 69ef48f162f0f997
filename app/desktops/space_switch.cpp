#include "app/desktops/space_switch.hpp"

#include "app/desktops/timing.hpp"

namespace corvane::desktops {

bool showSpace(WindowServer& server, const Discovery& discovery, const std::string& display,
               std::uint64_t space) {
    const auto connection = server.mainConnection();
    if (!connection) return false;
    const auto status = server.setCurrentSpace(*connection, display, space);
    if (!status || *status != 0) return false;
    return discovery.waitForCurrentSpace(space, display, displaySwitchTimeout);
}

}  // namespace corvane::desktops
