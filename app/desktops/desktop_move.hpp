#pragma once

#include <sys/types.h>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/desktops/desktop_records.hpp"
#include "app/desktops/discovery.hpp"
#include "app/desktops/serial_queue.hpp"
#include "app/platform/platform.hpp"
#include "core/window_action.hpp"

namespace corvane::desktops {

// One move of a window to desktop n of its display, on the desktop queue. Missing desktops are created first;
// a follow then shows the desktop and focuses the window, a send leaves the display on the desktop it showed.
// Throws Failure; whatever happened before a failure (a moved window, created desktops) stays.
class DesktopMove {
public:
    DesktopMove(Platform& platform, SerialQueue& queue);

    // Main thread, at the press: the application's focused window, with
    // calls on it limited to the move's messaging timeout. Absent when there
    // is none (or it is not a window the platform lets us move).
    static std::optional<Element> focusedWindow(Accessibility& ax, const Application& application);

    // Main thread, at the press: whether the window stands on a desktop some
    // display shows. False when that cannot be read (the move then decides).
    static bool isShown(Platform& platform, const Element& window);

    // `application`, its focused `window` and `screens` were taken on the
    // main thread when the user asked: by the time the move runs the user
    // may be working in another window. `shownAtPress` says the window was
    // on a shown desktop then: a move queued behind a follow still acts on
    // it after the follow has switched the display away.
    void run(SpaceAction action, const Application& application, const Element& window,
             const std::vector<ScreenInfo>& screens, bool shownAtPress = false);

private:
    std::uint32_t windowNumber(const Element& window);
    // Starts the server's move of the window; says nothing about the outcome.
    void performMove(std::uint32_t window, std::uint64_t space);
    void follow(const Application& application, const Element& window, const Display& display,
                std::uint64_t target);
    void returnAfterSend(const Display& display, std::uint64_t origin);

    Platform& platform_;
    SerialQueue& queue_;
    Discovery discovery_;
};

}  // namespace corvane::desktops
