#include "app/shell/session_kind.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace corvane {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Distributions name their own flavour first ("ubuntu:GNOME", "GNOME-Classic:GNOME").
bool desktopNames(const std::string& list, const std::string& name) {
    std::stringstream entries(lower(list));
    std::string entry;
    while (std::getline(entries, entry, ':'))
        if (entry == name) return true;
    return false;
}

}  // namespace

SessionEnvironment SessionEnvironment::current() {
    return SessionEnvironment{environment("XDG_SESSION_TYPE"), environment("XDG_CURRENT_DESKTOP"),
                              environment("WAYLAND_DISPLAY"), environment("SWAYSOCK")};
}

SessionKind sessionKind(const SessionEnvironment& e) {
    if (!e.swaySocket.empty()) return SessionKind::sway;
    const std::string type = lower(e.sessionType);
    // A terminal or remote login into a running Wayland session names the
    // display but may leave the session type unset or "tty".
    const bool wayland = type == "wayland" || (!e.waylandDisplay.empty() && type != "x11");
    if (!wayland) return SessionKind::x11;
    if (desktopNames(e.currentDesktop, "gnome")) return SessionKind::gnome;
    if (desktopNames(e.currentDesktop, "kde")) return SessionKind::plasma;
    return SessionKind::otherWayland;
}

std::string unsupportedSessionMessage(const SessionEnvironment& e) {
    const std::string desktop = e.currentDesktop.empty() ? "an unnamed compositor" : e.currentDesktop;
    return "this Wayland session (" + desktop +
           ") is not supported: Corvane runs on GNOME, Plasma and sway under Wayland, and on i3 and "
           "other X11 window managers";
}

}  // namespace corvane
