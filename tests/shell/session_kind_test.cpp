#include "app/shell/session_kind.hpp"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(SessionKind, AWaylandCompositorOfOursWinsOverXwaylandsDisplay) {
    struct Row {
        SessionEnvironment environment;
        SessionKind expected;
    };
    const Row rows[] = {
        {{"x11", "GNOME", "", ""}, SessionKind::x11},
        {{"", "", "", ""}, SessionKind::x11},
        {{"wayland", "GNOME", "wayland-0", ""}, SessionKind::gnome},
        {{"wayland", "ubuntu:GNOME", "wayland-0", ""}, SessionKind::gnome},
        {{"wayland", "GNOME-Classic:GNOME", "wayland-0", ""}, SessionKind::gnome},
        {{"wayland", "KDE", "wayland-0", ""}, SessionKind::plasma},
        {{"wayland", "Hyprland", "wayland-1", ""}, SessionKind::otherWayland},
        {{"wayland", "", "", ""}, SessionKind::otherWayland},
        // A terminal opened into a running session, or an ssh login to it.
        {{"tty", "GNOME", "wayland-0", ""}, SessionKind::gnome},
        {{"", "gnome", "wayland-0", ""}, SessionKind::gnome},
        // sway names itself through its socket, whatever else is set.
        {{"wayland", "sway", "wayland-1", "/run/user/1000/sway.sock"}, SessionKind::sway},
        // An X11 session that merely names a Wayland display stays X11.
        {{"x11", "GNOME", "wayland-0", ""}, SessionKind::x11},
        // A desktop name that only contains ours is not ours.
        {{"wayland", "NOTGNOME", "wayland-0", ""}, SessionKind::otherWayland},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sessionKind(row.environment), row.expected)
            << row.environment.sessionType << " / " << row.environment.currentDesktop;
}

TEST(SessionKind, AnUnsupportedSessionIsNamedWithWhatIsSupported) {
    const auto message = unsupportedSessionMessage({"wayland", "Hyprland", "wayland-1", ""});
    EXPECT_NE(message.find("Hyprland"), std::string::npos);
    for (const char* supported : {"GNOME", "Plasma", "sway", "i3"})
        EXPECT_NE(message.find(supported), std::string::npos) << supported;
    EXPECT_NE(unsupportedSessionMessage({"wayland", "", "", ""}).find("an unnamed compositor"),
              std::string::npos);
}

}  // namespace
}  // namespace corvane
