#pragma once

#include <cstdint>
#include <ostream>

#include "core/rect.hpp"
#include "core/window_action.hpp"
#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_desktop.hpp"

namespace corvane {
// Readable rectangles in failure messages.
inline void PrintTo(const Rect& rect, std::ostream* out) {
    *out << fake::formatRect(rect);
}
inline void PrintTo(const WindowAction& action, std::ostream* out) {
    *out << action.title();
}
}  // namespace corvane

namespace corvane::testing {

inline constexpr pid_t appPid = 501;

// A 1440x900 primary display with a 25-point menu bar: its visible area in
// the top-left space is (0, 25, 1440, 875).
inline void addPrimaryScreen(fake::FakeDesktop& desktop) {
    desktop.addScreen({0, 0, 1440, 900}, {0, 0, 1440, 875});
}

// A 1920x1080 display to the right of the primary, top edges aligned: its
// visible area in the top-left space is (1440, 0, 1920, 1055).
inline void addRightScreen(fake::FakeDesktop& desktop) {
    desktop.addScreen({1440, -180, 1920, 1080}, {1440, -155, 1920, 1055});
}

inline Rect frameOf(fake::FakeDesktop& desktop, std::uint32_t window) {
    return desktop.accessibility().windowFrame(window).value_or(Rect::null());
}

}  // namespace corvane::testing
