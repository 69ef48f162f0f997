#pragma once

#include <optional>

#include "app/platform/window_server.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/monitors.hpp"

namespace corvane::x11 {

// Desktops are the EWMH window manager's desktops, shared by all monitors.
// Each monitor is reported as a display whose spaces are all the desktops;
// a space identifier is the desktop index + 1 (0 is never a space).
//
// Any thread: every call asks the server afresh and keeps nothing.
class X11WindowServer final : public WindowServer {
public:
    X11WindowServer(Connection& connection, bool randr15);

    // Everything is available exactly when the window manager announces
    // _NET_NUMBER_OF_DESKTOPS, _NET_CURRENT_DESKTOP and _NET_WM_DESKTOP.
    Availability availability() override;
    Names names() override;
    // A constant connection number while desktops are available.
    std::optional<std::int32_t> mainConnection() override;
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    // The desktops of each window; a window on every desktop (sticky) is on
    // every space. Windows without a desktop contribute nothing.
    std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                   const std::vector<std::uint32_t>& windows) override;
    // Asks the window manager to show the desktop on every monitor; status 0
    // when asked, non-zero for an identifier that names no possible desktop.
    std::optional<std::int32_t> setCurrentSpace(std::int32_t connection, const std::string& displayIdentifier,
                                                std::uint64_t space) override;
    // The X window id of a window element.
    std::optional<WindowNumber> windowNumber(const Element& window) override;
    // Asks the window manager to move each window to the desktop.
    bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) override;

    // The report for these monitor names, desktop count and current desktop
    // (pure; for tests).
    static PlistValue displaySpaces(const std::vector<std::string>& monitorNames, std::uint32_t desktops,
                                    std::uint32_t current);

private:
    bool supported();

    Connection& connection_;
    bool randr15_;
};

}  // namespace corvane::x11
