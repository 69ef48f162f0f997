#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/rect.hpp"

namespace corvane::xharness {

// Widths of the decorations the window manager put around a client.
struct FrameExtents {
    std::uint32_t left = 0;
    std::uint32_t right = 0;
    std::uint32_t top = 0;
    std::uint32_t bottom = 0;
};

// The harness's own connection to the test server: EWMH reads, frame
// queries and waits that block on X events. Rectangles are in root
// coordinates, which are the app's top-left space because every layout
// the harness makes puts the primary monitor at the origin.
class XConnection {
public:
    static constexpr std::chrono::milliseconds defaultTimeout{5000};

    // Throws std::runtime_error when the display cannot be opened.
    explicit XConnection(const std::string& displayName);
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }
    const xcb_screen_t& screen() const { return *screen_; }
    xcb_ewmh_connection_t* ewmh() { return &ewmh_; }
    // Interned once, then cached.
    xcb_atom_t atom(const std::string& name);
    // True once the server has gone away (or the connection broke).
    bool hasError() const { return xcb_connection_has_error(connection_) != 0; }

    // A round trip: every request sent so far has been carried out.
    void sync();

    // Blocks on X events until `condition` holds: checks it, waits for the
    // next event, checks again. The events that wake it are those of the
    // root window (properties, top-level frames moving, selections), of
    // every watched window and of the windows made on this connection.
    // `alsoWatch`, when not -1, is another descriptor whose readiness wakes
    // it too (another client's connection); the condition must consume
    // what made it readable. False when the deadline passes, or the
    // connection breaks, with the condition still false. Never sleeps.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = defaultTimeout,
                 int alsoWatch = -1);

    // Shows every event waitFor takes off this connection to `observer`
    // before it is dropped (the messages sent to windows made here, say);
    // an empty function stops that.
    void setEventObserver(std::function<void(const xcb_generic_event_t&)> observer) {
        observer_ = std::move(observer);
    }

    // Makes property and structure changes of `window` wake waitFor.
    void watch(xcb_window_t window);

    // Reads; absent when the window is gone or the property is not set.
    // The outer frame is the client's area in root coordinates grown by
    // its _NET_FRAME_EXTENTS (no extents: the client area itself).
    std::optional<Rect> outerFrame(xcb_window_t window);
    std::optional<Rect> clientArea(xcb_window_t window);
    std::optional<FrameExtents> frameExtents(xcb_window_t window);
    std::optional<std::uint32_t> windowDesktop(xcb_window_t window);
    std::optional<std::uint32_t> windowPid(xcb_window_t window);
    std::optional<std::uint32_t> currentDesktop();
    std::optional<std::uint32_t> numberOfDesktops();
    std::optional<xcb_window_t> activeWindow();
    std::vector<xcb_window_t> clientList();
    // The window manager's check window, when one is running and its
    // window is still there (a killed manager leaves the root property).
    std::optional<xcb_window_t> windowManagerCheck();
    // The owner of a selection, XCB_NONE when unowned.
    xcb_window_t selectionOwner(const std::string& selection);
    // Reads a 32-bit property (CARDINAL[], WM_SIZE_HINTS, ...) of any length; empty when unset.
    std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t property);
    // The resize increments from WM_NORMAL_HINTS; absent when the client sets none.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> sizeIncrements(xcb_window_t window);

    // Asks the window manager to activate `window`, as a pager would.
    void requestActivation(xcb_window_t window);

private:
    xcb_connection_t* connection_ = nullptr;
    xcb_screen_t* screen_ = nullptr;
    xcb_ewmh_connection_t ewmh_{};
    bool ewmhReady_ = false;
    std::map<std::string, xcb_atom_t> atoms_;
    std::function<void(const xcb_generic_event_t&)> observer_;

    // Hands the event to the observer and frees it.
    void consume(xcb_generic_event_t* event);
    // Consumes every event xcb has already read; true when there was one.
    bool consumeQueuedEvents();
};

// Owns a reply that xcb allocated with malloc.
template <typename T>
using XReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XReply<T> adoptReply(T* reply) {
    return XReply<T>(reply, &std::free);
}

}  // namespace corvane::xharness
