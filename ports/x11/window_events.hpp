#pragma once

#include <cstdint>
#include <map>

#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// The events the main connection selects on other clients' windows. The
// server keeps one event mask per window and client, so a part that stopped
// listening by clearing the mask would silence every other part listening to
// that window: each part adds and removes its own mask here, and the window
// gets their union. Main thread.
class WindowEvents {
public:
    explicit WindowEvents(Connection& connection) : connection_(connection) {}
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    // One more listener for `mask`; sends the union only when it grew.
    void listen(xcb_window_t window, std::uint32_t mask);
    // The same, but asks the server whether the window exists (one round
    // trip); false, and nothing added, when it does not.
    bool listenChecked(xcb_window_t window, std::uint32_t mask);
    // One listener fewer; sends the union only when it shrank.
    void stopListening(xcb_window_t window, std::uint32_t mask);
    // The window was destroyed: its listeners are gone with it.
    void forget(xcb_window_t window) { listeners_.erase(window); }

    // What the window's mask is now (for tests).
    std::uint32_t selected(xcb_window_t window) const;

private:
    // How many listeners hold each mask, per window.
    using Counts = std::map<std::uint32_t, int>;
    static std::uint32_t unionOf(const Counts& counts);
    void select(xcb_window_t window, std::uint32_t mask);

    Connection& connection_;
    std::map<xcb_window_t, Counts> listeners_;
};

}  // namespace corvane::x11
