#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/rect.hpp"

namespace corvane::x11 {

// Space that docks and panels reserve at the screen edges, as EWMH partial
// struts: left, right, top, bottom widths, then the start and end of each
// band along its edge (left_start_y, left_end_y, right_start_y, right_end_y,
// top_start_x, top_end_x, bottom_start_x, bottom_end_x). Pure.
using Strut = std::array<std::uint32_t, 12>;

namespace Struts {

// A plain four-value strut reaches along its whole edge.
Strut fromPlain(std::uint32_t left, std::uint32_t right, std::uint32_t top, std::uint32_t bottom);

// What is left of a monitor (root coordinates, top-left origin) once every
// strut band that overlaps it is cut away. Struts are measured from the edges
// of `root`, the root window, also where it is larger than the monitors: a
// panel at the bottom of a monitor that ends above the root's bottom edge
// reserves that gap too, and window managers count it that way. A band
// covering the whole monitor leaves it as it is.
Rect visibleArea(const Rect& monitor, const Rect& root, const std::vector<Strut>& struts);

}  // namespace Struts

}  // namespace corvane::x11
