#pragma once

#include <chrono>
#include <optional>

#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"
#include "ports/x11/server_reads.hpp"
#include "ports/x11/window_events.hpp"

namespace corvane::x11 {

// The active window's facts, kept current between presses so that a press
// finds them without asking the server. The window is watched for what
// changes them: the properties they are read from, and its geometry. A
// window manager that moves a frame tells the client with a synthetic
// ConfigureNotify (toolkits place their popups by it), and a resize comes as
// a real one. Any such change drops the facts, and they are asked for again
// once the burst of events that brought it has been handled. Each read is
// followed by a fence, a request whose reply says the whole read has arrived,
// so taking the read never waits.
//
// A window that changes more often than anyone presses keys (a title that
// counts, a window being dragged) would wake us for every change: it is given
// up on, and read at the press instead, until a press or another active
// window renews the watch.
//
// Main thread only.
class ActiveWindowWatch {
public:
    ActiveWindowWatch(Connection& connection, WindowEvents& events);
    ~ActiveWindowWatch();
    ActiveWindowWatch(const ActiveWindowWatch&) = delete;
    ActiveWindowWatch& operator=(const ActiveWindowWatch&) = delete;

    // The active window now (absent: none): watched instead of the last one.
    void follow(std::optional<xcb_window_t> active);
    // Watches the window again if it was given up on.
    void renew();
    // From the event dispatch: drops the facts an event about the window may change.
    void handleEvent(const xcb_generic_event_t& event);
    // Takes a read whose fence has arrived; never waits. True when it looked
    // for a reply, which may have read events off the socket.
    bool takeArrived();
    // Asks for facts that were dropped, unless a read is under way.
    void askIfStale();
    // The window's facts as they are now, when known; never waits.
    std::optional<ServerReads::WindowFacts> facts(xcb_window_t window) const;

private:
    struct Read {
        ServerReads::WindowRequest request;
        xcb_get_input_focus_cookie_t fence{};
        bool overtaken = false;  // the window changed after it was asked for
    };
    void ask();
    bool changesFacts(xcb_atom_t atom) const;
    // Counts an event about the window; false once there were too many
    // lately, and the window is then no longer listened to.
    bool bearable();

    // More events than this in a second give the window up.
    static constexpr int eventsPerSecond = 8;

    Connection& connection_;
    WindowEvents& events_;
    std::optional<xcb_window_t> window_;
    std::optional<Read> read_;
    std::optional<ServerReads::WindowFacts> facts_;
    bool listening_ = false;
    std::chrono::steady_clock::time_point countingSince_{};
    int eventsCounted_ = 0;
};

}  // namespace corvane::x11
