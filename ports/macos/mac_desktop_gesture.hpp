#pragma once

#include "app/platform/clock.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/main_queue.hpp"

namespace corvane::macos {

// Adds a desktop the way a user does: Mission Control opened on the
// display, a click on its add-desktop button, Escape. The events are
// synthetic input posted at the system's input tap; Mission Control is
// opened from the main thread, without waiting for it.
class MacDesktopGesture final : public DesktopGesture {
public:
    // Sessions sleep through `clock` (on the desktop queue) and open
    // Mission Control through `mainQueue`; both outlive every session.
    MacDesktopGesture(MainQueue& mainQueue, Clock& clock) : mainQueue_(mainQueue), clock_(clock) {}

    std::unique_ptr<DesktopGestureSession> begin() override;

private:
    MainQueue& mainQueue_;
    Clock& clock_;
};

}  // namespace corvane::macos
