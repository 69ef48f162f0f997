#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/rect.hpp"

namespace corvane {

// One screen as the platform lists it. `frame` and `visibleFrame` are in the
// bottom-left space: origin at the primary display's bottom-left corner, y up,
// so Geometry::toAX with the primary's full height brings them to the top-left
// space. `visibleFrame` leaves out menu bars, docks and panels.
struct Screen {
    Rect frame;
    Rect visibleFrame;
    std::uint32_t displayNumber = 0;
    friend bool operator==(const Screen&, const Screen&) = default;
};

// The displays. Any thread.
class Screens {
public:
    virtual ~Screens() = default;

    // In platform order; the first is the primary display. May be empty.
    virtual std::vector<Screen> screens() = 0;
    // The stable identifier (a UUID string on Apple systems) of a display;
    // absent when the display is unknown.
    virtual std::optional<std::string> displayUUID(std::uint32_t displayNumber) = 0;
    // The display's bounds in global top-left coordinates (for pointer positions);
    // absent when the display is unknown.
    virtual std::optional<Rect> displayBounds(std::uint32_t displayNumber) = 0;

protected:
    Screens() = default;
    Screens(const Screens&) = delete;
    Screens& operator=(const Screens&) = delete;
};

}  // namespace corvane
