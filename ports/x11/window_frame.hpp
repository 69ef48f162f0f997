#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include <xcb/xcb.h>

#include "core/rect.hpp"
#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// A client window's visible outer frame, and what is needed to turn such a
// frame into the client size and frame position the window manager expects.
// The visible frame is the window manager's frame (decorations and the
// client's border included, _NET_FRAME_EXTENTS) less the invisible shadow a
// client that draws its own decorations leaves around them inside its window
// (_GTK_FRAME_EXTENTS): what the user sees as the window's edges.
struct FrameReading {
    Rect outer;  // visible frame, root coordinates, top-left origin
    // From the client's edges out to the visible frame's: the decorations,
    // less the shadow (negative for a window that draws its own).
    std::int32_t left = 0, right = 0, top = 0, bottom = 0;
    // The shadow inside the client at its left and top: how far the window
    // manager's frame corner lies outside the visible one.
    std::uint32_t shadowLeft = 0, shadowTop = 0;
    bool maximizedOrFullscreen = false;  // the window manager would keep such a frame
};

// Reading and placing outer frames through the EWMH window manager. Any thread.
namespace WindowFrame {

// The visible outer frame of a managed client window in root coordinates;
// absent when the window is gone. One round trip.
std::optional<FrameReading> read(Connection& connection, xcb_window_t window);

// read() in two halves, so that it can share a round trip with other reads.
struct ReadRequest {
    xcb_get_geometry_cookie_t geometry{};
    xcb_translate_coordinates_cookie_t origin{};
    xcb_get_property_cookie_t extents{}, state{}, shadow{};
};
ReadRequest requestRead(Connection& connection, xcb_window_t window);
std::optional<FrameReading> readReply(Connection& connection, const ReadRequest& request);

// The client size that gives this outer size with the window's decorations;
// at least 1x1.
Size clientSize(const FrameReading& reading, Size outer);

// Asks the window manager to take a window out of the maximised and
// full-screen states. Sends without waiting.
void requestRestore(Connection& connection, xcb_window_t window);

// A maximised or full-screen window wears other decorations than a normal
// one, so its outer frame can only be computed once the window manager has
// restored it. Asks for the restore, then waits until the window manager has
// answered a frame-extents request sent after it (it handles requests in
// order), on a short-lived connection of its own so that no other thread's
// events are taken; at most `timeout`. Returns the fresh reading. For
// threads that may wait; the main thread restores without waiting and
// corrects the frame afterwards.
FrameReading restore(Connection& connection, xcb_window_t window, const FrameReading& reading,
                     std::chrono::milliseconds timeout = std::chrono::milliseconds(250));

// Asks the window manager to place the visible outer frame
// (_NET_MOVERESIZE_WINDOW, north-west gravity: x and y are the window
// manager's frame corner, which lies outside the visible one by the shadow).
// Only the parts given are changed. Sends without waiting.
void place(Connection& connection, xcb_window_t window, const FrameReading& reading,
           std::optional<Point> outerOrigin, std::optional<Size> outerSize);

}  // namespace WindowFrame

}  // namespace corvane::x11
