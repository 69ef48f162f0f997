#pragma once

#include <vector>

#include "tools/xharness/monitors.hpp"
#include "tools/xharness/x_connection.hpp"

namespace corvane::demo {

// Paints each monitor's area in its own shade with its name and size, as
// the root window's background, so the screenshots show where one display
// ends and the next begins.
void paintWallpaper(xharness::XConnection& x, const std::vector<xharness::MonitorArea>& monitors);

}  // namespace corvane::demo
