#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <xcb/xcb.h>

#include "core/rect.hpp"
#include "ports/x11/client_windows.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/monitors.hpp"
#include "ports/x11/struts.hpp"
#include "ports/x11/window_frame.hpp"

namespace corvane::x11 {

// The reads the server state is made of, each in two halves, the requests
// and the replies, so that a press can send everything it needs before it
// waits for anything. Any thread, on that thread's connection.
namespace ServerReads {

struct Layout {
    std::vector<Monitor> monitors;  // primary first
    // Each monitor's name; absent for a monitor without one or an
    // unreadable name.
    std::vector<std::optional<std::string>> names;
    Rect root;
};
struct Desktops {
    std::uint32_t count = 0;
    std::uint32_t current = 0;
};
struct WindowFacts {
    ClientWindows::ClientFacts client;
    std::optional<FrameReading> reading;
    bool frameCurrent = true;       // false once a new frame was asked for
    std::optional<Size> increment;  // WM_NORMAL_HINTS' resize step, when above one pixel
    std::optional<std::uint32_t> desktop;
    bool desktopCurrent = true;  // false once a move to another desktop was asked for
};

// The two requests that read the desktop count and the current desktop.
struct DesktopsRequest {
    xcb_get_property_cookie_t count{}, current{};
};

struct LayoutRequest {
    MonitorsRequest monitors;
    xcb_get_geometry_cookie_t root{};
};
LayoutRequest requestLayout(Connection& connection, bool randr15);
Layout layoutReply(Connection& connection, const LayoutRequest& request);

// The monitors' names (a monitor without a name asks nothing).
std::vector<xcb_get_atom_name_cookie_t> requestNames(Connection& connection,
                                                     const std::vector<Monitor>& monitors);
std::vector<std::optional<std::string>> namesReply(Connection& connection,
                                                   const std::vector<xcb_get_atom_name_cookie_t>& cookies);

// The managed windows, from the stacking list or, without one, the client list.
struct ClientListRequest {
    xcb_get_property_cookie_t list{}, stacking{};
};
ClientListRequest requestClientList(Connection& connection);
std::vector<xcb_window_t> clientListReply(Connection& connection, const ClientListRequest& request);

// The struts of these windows, and the windows that hold them.
struct StrutsRequest {
    std::vector<xcb_window_t> windows;
    std::vector<xcb_get_property_cookie_t> partial, plain;
};
StrutsRequest requestStruts(Connection& connection, std::vector<xcb_window_t> windows);
std::pair<std::vector<Strut>, std::vector<xcb_window_t>> strutsReply(Connection& connection,
                                                                     const StrutsRequest& request);

DesktopsRequest requestDesktops(Connection& connection);
std::optional<Desktops> desktopsReply(Connection& connection, const DesktopsRequest& request);

// Whether the window manager offers desktops: _NET_SUPPORTED names the
// desktop count, the current desktop and a window's desktop.
bool supportedReply(Connection& connection, xcb_get_property_cookie_t cookie);
// _NET_ACTIVE_WINDOW; absent when none is active.
std::optional<xcb_window_t> activeReply(Connection& connection, xcb_get_property_cookie_t cookie);
std::optional<xcb_window_t> activeFrom(xcb_get_property_reply_t* reply);

// One window's facts in one batch.
struct WindowRequest {
    ClientWindows::ClientRequest client;
    WindowFrame::ReadRequest frame;
    xcb_get_property_cookie_t hints{}, desktop{};
};
WindowRequest requestWindow(Connection& connection, xcb_window_t window);
WindowFacts windowReply(Connection& connection, const WindowRequest& request);

}  // namespace ServerReads

}  // namespace corvane::x11
