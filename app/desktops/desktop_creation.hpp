#pragma once

#include "app/desktops/desktop_records.hpp"
#include "app/desktops/discovery.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/window_server.hpp"

namespace corvane::desktops {

// Adds desktops to a display, one gesture pass per desktop, until it has
// `through` of them, then shows the display's starting desktop again.
// Each pass must see exactly one new desktop within the arrival timeout.
// Throws desktopCreateFailed(through) on any failure; desktops made by
// earlier passes stay. Whatever the gesture opened is cleaned up on every
// exit. Runs on the desktop queue and sleeps it.
class DesktopCreation {
public:
    DesktopCreation(WindowServer& server, DesktopGesture& gesture, const Discovery& discovery)
        : server_(server), gesture_(gesture), discovery_(discovery) {}

    void createDesktops(int through, const Display& display, const ScreenInfo& screen);

private:
    // The display's desktop count once it grows past `before`, or whatever
    // it is when the timeout runs out (`before` while it is not listed).
    std::size_t awaitNewDesktop(const std::string& identifier, std::size_t before);

    WindowServer& server_;
    DesktopGesture& gesture_;
    const Discovery& discovery_;
};

}  // namespace corvane::desktops
