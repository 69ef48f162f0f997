#pragma once

#include <xcb/xcb.h>

#include <cstdint>

#include "core/rect.hpp"
#include "tools/xharness/x_connection.hpp"

namespace corvane::bench {

// Requests to the window manager about one client, sent the way a pager
// sends them (source indication 2, which managers obey without questions).
// They return once sent; the caller waits for the outcome on X events.

// Asks for the client's outer frame to become `outerFrame` (root
// coordinates): _NET_MOVERESIZE_WINDOW with north-west gravity, the size
// less the decorations, since the message carries the client's size.
void requestOuterFrame(xharness::XConnection& x, xcb_window_t window, const Rect& outerFrame,
                       const xharness::FrameExtents& extents);

// Asks for the client to be moved to desktop `desktop` (from 0): _NET_WM_DESKTOP.
void requestDesktop(xharness::XConnection& x, xcb_window_t window, std::uint32_t desktop);

// Asks for desktop `desktop` (from 0) to be shown: _NET_CURRENT_DESKTOP.
void requestCurrentDesktop(xharness::XConnection& x, std::uint32_t desktop);

}  // namespace corvane::bench
