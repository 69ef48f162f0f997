#pragma once

#include <sys/types.h>
#include <cstdint>
#include <vector>

#include "app/desktops/desktop_records.hpp"
#include "app/desktops/discovery.hpp"
#include "app/desktops/serial_queue.hpp"
#include "app/platform/platform.hpp"
#include "core/window_action.hpp"

namespace corvane::desktops {

// One move of an application's focused window to desktop n of its display,
// on the desktop queue. Missing desktops are created first; a follow then
// shows the desktop and focuses the window, a send leaves the display on
// the desktop it showed. Throws Failure; whatever happened before a failure
// (a moved window, created desktops) stays.
class DesktopMove {
public:
    DesktopMove(Platform& platform, SerialQueue& queue);

    // `screens` and `pid` were taken on the main thread when the user asked.
    void run(SpaceAction action, pid_t pid, const std::vector<ScreenInfo>& screens);

private:
    Element focusedWindow(pid_t pid);
    std::uint32_t windowNumber(const Element& window);
    // Starts the server's move of the window; says nothing about the outcome.
    void performMove(std::uint32_t window, std::uint64_t space);
    void follow(pid_t pid, const Element& window, const Display& display, std::uint64_t target);
    void returnAfterSend(const Display& display, std::uint64_t origin);

    Platform& platform_;
    SerialQueue& queue_;
    Discovery discovery_;
};

}  // namespace corvane::desktops
