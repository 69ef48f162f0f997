#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include <xcb/xcb.h>

#include "core/rect.hpp"
#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// A client window's outer frame, decorations included, and what is needed to
// turn an outer frame into the client size the window manager expects.
struct FrameReading {
    Rect outer;                                              // root coordinates, top-left origin
    std::uint32_t left = 0, right = 0, top = 0, bottom = 0;  // decoration widths, client border included
    bool maximizedOrFullscreen = false;                      // the window manager would keep such a frame
};

// Reading and placing outer frames through the EWMH window manager. Any thread.
namespace WindowFrame {

// The outer frame of a managed client window in root coordinates; absent when
// the window is gone. One round trip.
std::optional<FrameReading> read(Connection& connection, xcb_window_t window);

// The client size that gives this outer size with the window's decorations;
// at least 1x1.
Size clientSize(const FrameReading& reading, Size outer);

// A maximised or full-screen window wears other decorations than a normal
// one, so its outer frame can only be computed once the window manager has
// restored it. Asks for the restore, then waits until the window manager has
// answered a frame-extents request sent after it (it handles requests in
// order), on a short-lived connection of its own so that no other thread's
// events are taken; at most `timeout`. Returns the fresh reading.
FrameReading restore(Connection& connection, xcb_window_t window, const FrameReading& reading,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(250));

// Asks the window manager to place the outer frame (_NET_MOVERESIZE_WINDOW,
// north-west gravity: x and y are the frame's top-left corner). Only the
// parts given are changed. Sends without waiting.
void place(Connection& connection, xcb_window_t window, const FrameReading& reading,
           std::optional<Point> outerOrigin, std::optional<Size> outerSize);

}  // namespace WindowFrame

}  // namespace corvane::x11
