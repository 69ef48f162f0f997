#pragma once

#include <cstdint>
#include <vector>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// One RandR monitor in root coordinates (top-left origin of the X screen).
struct Monitor {
    xcb_atom_t name = XCB_ATOM_NONE;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool primary = false;
    friend bool operator==(const Monitor&, const Monitor&) = default;
};

// The active monitors, primary first, the others in the server's order. When
// RandR 1.5 is missing or lists nothing, the whole X screen is the one monitor.
//
// Split in request and reply so that callers can pipeline it with other
// requests in the same round trip.
struct MonitorsRequest {
    bool randr = false;
    xcb_randr_get_monitors_cookie_t cookie{};
};
MonitorsRequest requestMonitors(const Connection& connection, bool randr15);
std::vector<Monitor> monitorsReply(const Connection& connection, MonitorsRequest request);

// Whether the server speaks RandR 1.5 (monitors); asked once per connection.
bool hasRandr15(const Connection& connection);

// Orders monitors primary first; with no primary flagged, the first listed is
// the primary. Never empty when the input is not.
std::vector<Monitor> primaryFirst(std::vector<Monitor> monitors);

}  // namespace corvane::x11
