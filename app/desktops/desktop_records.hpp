#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/rect.hpp"

namespace corvane::desktops {

// One space of a display as the window server reports it.
struct Desktop {
    std::uint64_t id = 0;
    // 0 is an ordinary desktop; -1 when the report has no usable type.
    std::int64_t type = -1;
    friend bool operator==(const Desktop&, const Desktop&) = default;
};

// One display managed by the window server, with every space it reports.
struct Display {
    std::string identifier;       // a display UUID string for a physical display
    std::uint64_t current = 0;    // the space the display shows
    std::vector<Desktop> spaces;  // in the order reported

    // The ordinary desktops (type exactly 0), in order: desktop n is element
    // n - 1. Other spaces are never counted or targeted.
    std::vector<Desktop> desktops() const;

    friend bool operator==(const Display&, const Display&) = default;
};

// A screen joined to its window-server identity.
struct ScreenInfo {
    std::string uuid;
    Rect axFrame;   // top-left space, for finding a window's screen
    Rect cgBounds;  // global top-left display bounds, for the desktop gesture
    friend bool operator==(const ScreenInfo&, const ScreenInfo&) = default;
};

// Screens and displays name the same display with UUIDs that may differ in
// case; a fresh display list is searched for a known display exactly.
bool sameDisplayIgnoringCase(std::string_view a, std::string_view b);

}  // namespace corvane::desktops
