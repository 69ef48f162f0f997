#pragma once

#include <sys/types.h>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// Finding applications' top-level windows through what the EWMH window
// manager publishes. Every function asks the server afresh; X errors give
// empty or absent results. Any thread.
namespace ClientWindows {

// The window the window manager calls active; absent when there is none.
std::optional<xcb_window_t> active(Connection& connection);
// The process that owns a window (_NET_WM_PID); absent when not published.
std::optional<pid_t> pid(Connection& connection, xcb_window_t window);
// The managed windows bottom to top (_NET_CLIENT_LIST_STACKING, or the
// mapping-order list when the window manager keeps no stacking list).
std::vector<xcb_window_t> stacking(Connection& connection);

// The window an application is working in: the active window when the
// application owns it, else its topmost normal window that is not hidden.
std::optional<xcb_window_t> applicationWindow(Connection& connection, pid_t pid);
// Every managed window of the process, bottom to top.
std::vector<xcb_window_t> windowsOf(Connection& connection, pid_t pid);

}  // namespace ClientWindows

}  // namespace corvane::x11
