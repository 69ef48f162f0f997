#pragma once

#include "app/platform/workspace.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/server_state.hpp"

namespace corvane::x11 {

// The running applications, as the EWMH window manager lists their windows.
// An application is a process id (_NET_WM_PID, else the client's process as
// the X Resource extension knows it); the frontmost one also carries the
// active window, which alone stands for an application whose process nobody
// names. The program identifier matched by runningApplications is the
// WM_CLASS instance or class name.
class X11Workspace final : public Workspace {
public:
    X11Workspace(Connection& connection, ServerState& state);

    // The owner of the active window, and that window.
    std::optional<Application> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    // Activates the window that made the application frontmost while it is
    // still managed, else the application's current window (_NET_ACTIVE_WINDOW).
    bool activate(const Application& application) override;
    // Asks each of its windows to close (WM_DELETE_WINDOW where the window
    // takes it, else the window manager's _NET_CLOSE_WINDOW).
    bool terminate(pid_t pid) override;
    // Hands the URL to xdg-open; false when xdg-open is not installed or could
    // not be started.
    bool openURL(std::string_view url) override;

private:
    Connection& connection_;
    ServerState& state_;
};

}  // namespace corvane::x11
