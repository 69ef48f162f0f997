#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "core/rect.hpp"
#include "core/window_action.hpp"

// All the screen arithmetic of window placement, as pure functions.
// Rectangles passed together are in one coordinate space; the window mover
// works in the top-left ("Accessibility") space throughout.
namespace corvane::Geometry {

// Target frame of a placement inside an area, with the gap around and between tiles.
Rect frame(Placement placement, const Rect& area, double gap);

// Bottom-left screen space -> top-left space, given the primary display's full height.
Rect toAX(const Rect& screenRect, double primaryHeight);

// The screen a window is on: largest overlap, else nearest to the window's centre.
std::optional<std::size_t> screenIndex(const Rect& window, std::span<const Rect> screens);

// The screen one step left (-1) or right (+1) of `current`, wrapping around.
std::size_t adjacentScreen(std::size_t current, int step, std::span<const Rect> screens);

// A window frame carried from one area to another, keeping relative position and size.
Rect moved(const Rect& frame, const Rect& from, const Rect& to);

}  // namespace corvane::Geometry
