#pragma once

#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// Notices a window manager appearing, going or being replaced, from the
// properties it keeps on the root window: its check window
// (_NET_SUPPORTING_WM_CHECK) and what it supports (_NET_SUPPORTED). What the
// port offers depends on both (desktops, and which shortcuts the manager
// itself holds). Main thread only.
class WindowManagerWatch {
public:
    // Asks for the root window's property changes, keeping whatever else
    // this connection already asked for there.
    explicit WindowManagerWatch(Connection& connection);
    WindowManagerWatch(const WindowManagerWatch&) = delete;
    WindowManagerWatch& operator=(const WindowManagerWatch&) = delete;

    // True when the event is a change of those properties. Every change
    // counts, also one that writes the values they had: a manager started
    // again gets the same window id from the server, and writes the same list.
    bool handleEvent(const xcb_generic_event_t& event);

private:
    Connection& connection_;
};

}  // namespace corvane::x11
