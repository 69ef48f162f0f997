#pragma once

#include <vector>

#include "app/platform/screens.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/monitors.hpp"
#include "ports/x11/server_state.hpp"
#include "ports/x11/struts.hpp"

namespace corvane::x11 {

// The displays are RandR monitors, primary first. Frames are in the
// bottom-left space relative to the primary monitor, so Geometry::toAX with
// the primary's height gives top-left coordinates relative to the primary's
// top-left corner, the space window frames are read in. A display's number
// is its monitor's name atom and its identifier the monitor's name.
//
// Any thread. What it reports is kept by the server state until RandR, the
// root or a dock says it changed.
class X11Screens final : public Screens {
public:
    X11Screens(Connection& connection, ServerState& state);

    // visibleFrame is the monitor less the struts of the docks and panels that
    // reach onto it (not the window manager's one work area for all monitors).
    std::vector<Screen> screens() override;
    std::optional<std::string> displayUUID(std::uint32_t displayNumber) override;
    // Top-left bounds relative to the primary monitor's top-left corner.
    std::optional<Rect> displayBounds(std::uint32_t displayNumber) override;

    // Pure conversion of monitors and struts to the screen list (for tests);
    // the struts are measured from the edges of `root`.
    static std::vector<Screen> toScreens(const std::vector<Monitor>& monitors,
                                         const std::vector<Strut>& struts, const Rect& root);
    // The display number of a monitor: its name atom, or its index + 1 for a
    // monitor without a name.
    static std::uint32_t displayNumber(const Monitor& monitor, std::size_t index);

private:
    Connection& connection_;
    ServerState& state_;
};

}  // namespace corvane::x11
