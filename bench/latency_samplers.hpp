#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/rect.hpp"
#include "tools/xharness/client_window.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// How long one outcome may take before the sample counts as failed.
inline constexpr std::chrono::milliseconds sampleTimeout{5000};

// Key press → the window's outer frame at a target. Every sample moves the
// window between two frames, so every press changes it: the window is at
// `first` → the press of `toSecond` is timed, and the other way round. A
// window at neither is put at `second` first (untimed), by a request of
// our own to the window manager.
class FrameLatency {
public:
    FrameLatency(xharness::XServer& server, xharness::ClientWindow& window, Rect first, Rect second,
                 xharness::FrameExtents extents);

    // A sampler for runInterleaved: milliseconds from the press until the
    // frame is the target, woken by the frame's ConfigureNotify events.
    // Throws std::runtime_error, naming the frame it had, when it does not get there.
    std::function<double()> sampler(xharness::Chord toFirst, xharness::Chord toSecond);

private:
    double sample(const xharness::Chord& toFirst, const xharness::Chord& toSecond);

    xharness::XServer& server_;
    xharness::ClientWindow& window_;
    Rect first_;
    Rect second_;
    xharness::FrameExtents extents_;
};

// Key press → the window's _NET_WM_DESKTOP at the target desktop. After
// every sample the window is left alone for `pause`, as between a person's
// presses: a sender may still be checking its work (the app polls for the
// window's arrival), and a window snatched back at once would fail that
// check. Then, untimed, the window is brought back to the home desktop and
// made active again (a window sent away loses the focus), and the desktop
// is left quiet for `quietBeforePress` before the next press, as a person's
// next press would find it. When the send follows the window, the sample
// ends once the target desktop is also the one shown, and the home desktop
// is shown again before the next.
class DesktopLatency {
public:
    static constexpr std::chrono::milliseconds quietBeforePress{20};

    DesktopLatency(xharness::XServer& server, xharness::ClientWindow& window, std::uint32_t home,
                   std::uint32_t target, std::chrono::milliseconds pause, bool follow = false);

    // A sampler for runInterleaved, woken by the window's PropertyNotify events.
    std::function<double()> sampler(xharness::Chord send);

private:
    double sample(const xharness::Chord& send);

    xharness::XServer& server_;
    xharness::ClientWindow& window_;
    std::uint32_t home_;
    std::uint32_t target_;
    std::chrono::milliseconds pause_;
    bool follow_;
};

// Milliseconds from just before `press` until `reached` holds, waiting on
// X events; absent when it does not hold within `timeout`.
std::optional<double> timeUntil(xharness::XConnection& x, const std::function<void()>& press,
                                const std::function<bool()>& reached,
                                std::chrono::milliseconds timeout = sampleTimeout);

}  // namespace corvane::bench
