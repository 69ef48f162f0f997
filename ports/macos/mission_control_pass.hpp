#pragma once

#include <cstdint>

#include "app/platform/clock.hpp"
#include "core/rect.hpp"

namespace corvane::macos {

// Where and when the pointer goes when a desktop is added the way a user
// does it: Mission Control opened, a click on its add-desktop button at the
// display's top-right corner, Escape to close. The button's place and
// Mission Control's reaction times are the system's; these are the figures
// the pass relies on.
namespace MissionControlPass {

inline constexpr const char* applicationPath = "/System/Applications/Mission Control.app";
// Mission Control needs this long to open before its button can be clicked.
inline constexpr Clock::Duration openWait{0.65};
// The button reacts only once the pointer has rested on it for a moment.
inline constexpr Clock::Duration hoverWait{0.15};
inline constexpr std::uint16_t escapeKeyCode = 53;

// Every synthetic event comes from the HID system state source and is posted
// at the HID tap, so the system treats it as the user's own input.
inline constexpr std::int32_t eventSourceState = 1;
inline constexpr std::uint32_t eventTap = 0;

// The points of one pass in global top-left coordinates, for a display with
// these bounds: its centre (the pointer decides which display Mission Control
// opens on) and the add-desktop button, 30 points in from the right edge and
// 34 points down from the top.
struct Points {
    Point centre;
    Point addDesktop;
};
Points points(const Rect& displayBounds);

}  // namespace MissionControlPass

}  // namespace corvane::macos
