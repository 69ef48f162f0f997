#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <xcb/xcb.h>

#include "ports/x11/active_window_watch.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/server_reads.hpp"
#include "ports/x11/window_events.hpp"

namespace corvane::x11 {

// What the server told us that only changes with an event we hear about,
// kept until that event comes, and what a hot-key press needs to know about
// the active window, read at the press in one batch. A press then costs one
// or two round trips, whatever the product asks of the port while acting on
// it.
//
// Kept, until the event in brackets:
// - the monitors, their names and the root's size (RandR notifications, the
//   root's ConfigureNotify);
// - the docks' struts (the client list or the work area changing on the
//   root, a strut changing on a window that has one);
// - whether the window manager offers desktops (_NET_SUPPORTED or
//   _NET_SUPPORTING_WM_CHECK on the root);
// - the desktop count and the current desktop (their root properties);
// - the active window (_NET_ACTIVE_WINDOW).
// Only the main thread, which hears the events, fills what is kept, and it
// uses what is kept only while it handles a press (all events before the
// press have been dispatched then); other threads use it when it is there
// and read for themselves when not.
//
// The active window's facts (owner, kind, frame, resize step, desktop) are
// kept current by ActiveWindowWatch, and read at the press when they are not
// known then. They serve the main thread while the press is handled and the
// desktop queue for a moment after (the move it started), until the port
// asks the window manager to change them.
class ServerState {
public:
    // Main thread: selects the events that keep the state current.
    ServerState(Connection& connection, WindowEvents& events, bool randr15);
    ServerState(const ServerState&) = delete;
    ServerState& operator=(const ServerState&) = delete;

    // Main thread, from the port's event dispatch: forgets what the event changed.
    void handleEvent(const xcb_generic_event_t& event);
    // Main thread, once the events at hand are handled: takes the replies
    // to what they made us ask, and asks again for what they made us
    // forget. Never waits. True when it looked for a reply, which may have
    // read events off the socket into the library's queue.
    bool takeReplies();

    // Main thread, as a press is received and once it has been handled.
    void beginPress();
    void endPress();

    using Layout = ServerReads::Layout;
    using Desktops = ServerReads::Desktops;
    using WindowFacts = ServerReads::WindowFacts;

    // Any thread: what is kept, else read now.
    std::optional<xcb_window_t> activeWindow();
    Layout layout();
    std::vector<Strut> struts();
    bool desktopsSupported();
    std::optional<Desktops> desktops();
    // The desktop count and the current desktop as the server has them now.
    static std::optional<Desktops> readDesktops(Connection& connection);

    // The active window's facts as read at the press, while they may serve
    // the calling thread.
    std::optional<WindowFacts> pressFacts(xcb_window_t window);
    // Any thread, after asking the window manager to change a window.
    void frameRequested(xcb_window_t window);
    void desktopRequested(xcb_window_t window);

    // Any thread: asks the window manager to activate the window, unless
    // the press being handled on the main thread asked for it already.
    // Making an application, its main window and its focused window active
    // is one request on X11; a repeat only makes the window manager do the
    // work again. False once the connection is gone.
    bool requestActivation(xcb_window_t window);

    // How long after a press its facts serve the desktop queue.
    static constexpr std::chrono::milliseconds pressFactsLifetime{250};

private:
    // Selects property changes on the windows that hold struts, so that a
    // panel resizing itself is heard.
    void watchStrutHolders(const std::vector<xcb_window_t>& holders);
    void forgetAll();
    // Main thread, as an event says the value changed: asks for it at once,
    // so that the press that follows finds the answer waiting (one earlier
    // question still unanswered is dropped).
    void askActive();
    void askDesktops();
    // Main thread: the active window as learned now.
    void learnActive(std::optional<xcb_window_t> active);
    // Main thread: takes the active window's reply if it has come. True
    // when it looked.
    bool takeActive();
    // False when this press asked for the window's activation already.
    bool activationNeeded(xcb_window_t window);
    // Whether what is kept may answer the calling thread; mutex_ held.
    bool keptServes() const;

    Connection& connection_;
    WindowEvents& events_;
    bool randr15_;
    std::uint8_t randrEvent_ = 0;  // the first event number of RandR; 0 without it

    mutable std::mutex mutex_;
    std::optional<std::optional<xcb_window_t>> active_;
    std::optional<Layout> layout_;
    std::optional<std::vector<Strut>> struts_;
    std::optional<bool> supported_;
    std::optional<std::optional<Desktops>> desktops_;
    std::map<xcb_window_t, WindowFacts> pressFacts_;
    // Main thread only: questions asked as an event came, not yet taken.
    std::optional<xcb_get_property_cookie_t> activeAsked_;
    std::optional<ServerReads::DesktopsRequest> desktopsAsked_;
    std::chrono::steady_clock::time_point pressedAt_{};
    bool inPress_ = false;  // main thread's view
    std::optional<xcb_window_t> activatedInPress_;
    // Main thread only.
    ActiveWindowWatch activeWatch_;
    std::set<xcb_window_t> strutHolders_;
};

}  // namespace corvane::x11
