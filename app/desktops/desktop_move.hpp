#pragma once

#include <sys/types.h>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/desktops/desktop_records.hpp"
#include "app/desktops/discovery.hpp"
#include "app/desktops/serial_queue.hpp"
#include "app/platform/platform.hpp"
#include "core/window_action.hpp"

namespace corvane::desktops {

// A move whose requests went out at the press; the queue sees it through.
struct StartedMove {
    std::uint32_t window = 0;  // its window number
    std::string display;       // the identifier of the window's display
    std::uint64_t origin = 0;  // the desktop the display showed
    std::uint64_t target = 0;
    bool follows = false;
    bool switchAsked = false;  // a follow's request for the target desktop was taken
};

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

    // Main thread, at the press, where the window server starts moves there
    // (WindowServer::startsMovesAtPress): when the target desktop exists,
    // sends the move and, for a follow, activates the window and asks for
    // the target desktop right behind it, without waiting for either. Absent
    // when desktops must be created first: the move then runs whole on the
    // queue. The window must stand on the desktop its display shows now.
    // Throws Failure, as run does.
    std::optional<StartedMove> start(SpaceAction action, const Application& application,
                                     const Element& window, const std::vector<ScreenInfo>& screens);
    // On the queue: waits until a started move has landed and, for a
    // follow, the target desktop is shown; a send leaves the display on the
    // desktop it showed. A follow whose window did not land shows the
    // origin again before it reports.
    void finish(const StartedMove& move, const Element& window);

private:
    struct Located {
        std::uint32_t window = 0;
        Display display;
    };
    // The window's number and display, checked to stand on a shown desktop.
    Located locate(const Element& window, const std::vector<ScreenInfo>& screens, bool shownAtPress);
    void land(std::uint32_t window, std::uint64_t target);
    std::uint32_t windowNumber(const Element& window);
    // Starts the server's move of the window; says nothing about the outcome.
    void performMove(std::uint32_t window, std::uint64_t space);
    void follow(const Application& application, const Element& window, const Display& display,
                std::uint64_t target);
    // Makes the window the one the user works in, once `activate` has
    // made its application frontmost; false, doing nothing more, when
    // `activate` says it could not.
    bool focus(const Element& window, const std::function<bool()>& activate);
    void returnAfterSend(const std::string& display, std::uint64_t origin);

    Platform& platform_;
    SerialQueue& queue_;
    Discovery discovery_;
};

}  // namespace corvane::desktops
