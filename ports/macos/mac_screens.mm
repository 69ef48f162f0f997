#include "ports/macos/mac_screens.hpp"

#include <AppKit/AppKit.h>

#include "ports/macos/cf_ref.hpp"
#include "ports/macos/cf_report.hpp"

namespace corvane::macos {

namespace {

Rect rectFrom(CGRect r) {
    return Rect{r.origin.x, r.origin.y, r.size.width, r.size.height};
}

}  // namespace

std::vector<Screen> MacScreens::screens() {
    std::vector<Screen> result;
    for (NSScreen* screen in NSScreen.screens) {
        Screen s;
        s.frame = rectFrom(screen.frame);
        s.visibleFrame = rectFrom(screen.visibleFrame);
        // A screen without a display number (it has just gone) keeps 0,
        // which names no display, so its UUID and bounds are absent.
        id number = screen.deviceDescription[@"NSScreenNumber"];
        if ([number isKindOfClass:[NSNumber class]]) s.displayNumber = [(NSNumber*)number unsignedIntValue];
        result.push_back(s);
    }
    return result;
}

std::optional<std::string> MacScreens::displayUUID(std::uint32_t displayNumber) {
    const auto uuid = CFRef<CFUUIDRef>::adopt(CGDisplayCreateUUIDFromDisplayID(displayNumber));
    if (!uuid) return std::nullopt;
    const auto text = CFRef<CFStringRef>::adopt(CFUUIDCreateString(kCFAllocatorDefault, uuid.get()));
    return stringFromCF(text.get());
}

std::optional<Rect> MacScreens::displayBounds(std::uint32_t displayNumber) {
    const Rect bounds = rectFrom(CGDisplayBounds(displayNumber));
    // Core Graphics answers an unknown display with an empty rectangle.
    if (bounds.width <= 0 || bounds.height <= 0) return std::nullopt;
    return bounds;
}

}  // namespace corvane::macos
