#pragma once

#include <string>

namespace corvane {

// Which backend a session needs, from the variables the session sets. A
// Wayland session sets DISPLAY too (Xwayland), where X11 grabs only see keys
// typed into X windows: a compositor of ours wins over X11.
enum class SessionKind {
    x11,
    sway,
    gnome,
    plasma,
    otherWayland,  // a Wayland compositor we have no backend for
};

struct SessionEnvironment {
    std::string sessionType;     // XDG_SESSION_TYPE
    std::string currentDesktop;  // XDG_CURRENT_DESKTOP, a colon-separated list
    std::string waylandDisplay;  // WAYLAND_DISPLAY
    std::string swaySocket;      // SWAYSOCK

    static SessionEnvironment current();
};

SessionKind sessionKind(const SessionEnvironment& environment);

// The one line for a Wayland session without a backend, naming what works.
std::string unsupportedSessionMessage(const SessionEnvironment& environment);
// The exit status that goes with it, so scripts can tell it from other failures.
inline constexpr int unsupportedSessionExitCode = 3;

}  // namespace corvane
