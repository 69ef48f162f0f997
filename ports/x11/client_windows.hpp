#pragma once

#include <sys/types.h>
#include <optional>
#include <vector>

#include <xcb/res.h>
#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// Finding applications' top-level windows through what the EWMH window
// manager publishes. Every function asks the server afresh; X errors give
// empty or absent results. Any thread.
namespace ClientWindows {

// The window the window manager calls active; absent when there is none.
std::optional<xcb_window_t> active(Connection& connection);
// The process that owns a window: its _NET_WM_PID, else the local process
// the server knows as the window's client (X Resource extension); absent
// when neither says (a client on another machine, an old server).
std::optional<pid_t> pid(Connection& connection, xcb_window_t window);
// The managed windows bottom to top (_NET_CLIENT_LIST_STACKING, or the
// mapping-order list when the window manager keeps no stacking list).
std::vector<xcb_window_t> stacking(Connection& connection);

// Whether a window is one the user works in and we may move: of no type, or
// normal or dialog. Docks, panels, the desktop, splash screens,
// notifications, menus and tooltips are not.
bool isOrdinary(Connection& connection, xcb_window_t window);

// A window's owner and kind, split in request and reply so that they can
// share a round trip with other reads.
struct ClientRequest {
    xcb_get_property_cookie_t pid{};
    xcb_get_property_cookie_t type{};
    xcb_res_query_client_ids_cookie_t client{};
    bool resources = false;
};
struct ClientFacts {
    std::optional<pid_t> pid;  // as pid() tells it
    bool ordinary = true;      // as isOrdinary() tells it
};
ClientRequest requestClient(Connection& connection, xcb_window_t window);
ClientFacts clientReply(Connection& connection, const ClientRequest& request);

// The window an application is working in: the active window when the
// application owns it, else its topmost ordinary window that is not hidden.
std::optional<xcb_window_t> applicationWindow(Connection& connection, pid_t pid);
// Every managed window of the process, bottom to top.
std::vector<xcb_window_t> windowsOf(Connection& connection, pid_t pid);

}  // namespace ClientWindows

}  // namespace corvane::x11
