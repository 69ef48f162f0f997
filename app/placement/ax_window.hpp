#pragma once

#include <optional>
#include <string_view>

#include "app/platform/accessibility.hpp"
#include "core/rect.hpp"

// The few element operations every placement is built on. They never fail
// loudly: any non-success status, missing value or value of the wrong kind
// is an absent result, and the caller decides what the user sees.
namespace corvane::AXWindow {

// The application's focused window; absent when it has none or the
// attribute holds something that is not an element.
std::optional<Element> focusedWindow(Accessibility& ax, const Element& application);

// The window's frame in the top-left space. The size is not asked for when
// the position cannot be read. A value of the wrong kind reads as zero.
std::optional<Rect> frame(Accessibility& ax, const Element& window);

// The steps the window resizes in (a terminal's character cell); absent when
// the window resizes freely or the value cannot be read.
std::optional<Size> sizeIncrement(Accessibility& ax, const Element& window);

// A boolean attribute; absent when unreadable or not a boolean.
std::optional<bool> boolAttribute(Accessibility& ax, const Element& element, std::string_view attribute);

// Writes the frame: size, position, then size again (a window may not take
// its full size until it stands at its new position). An application with
// the enhanced user interface on animates and second-guesses such writes,
// so it is switched off for the duration and back on after; it is left
// alone when it was off or could not be read. Statuses are ignored.
void writeFrame(Accessibility& ax, const Element& application, const Element& window, const Rect& target);

}  // namespace corvane::AXWindow
