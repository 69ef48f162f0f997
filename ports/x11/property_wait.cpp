#include "ports/x11/property_wait.hpp"

#include <poll.h>
#include <algorithm>
#include <utility>
#include <vector>

namespace corvane::x11::PropertyWait {

namespace {

using Change = std::pair<xcb_window_t, xcb_atom_t>;

// Changes heard while waiting for another; a thread has one connection of
// its own, so one list per thread. Only windows being listened to land here.
thread_local std::vector<Change> heard;

bool take(const Change& change) {
    const auto it = std::find(heard.begin(), heard.end(), change);
    if (it == heard.end()) return false;
    heard.erase(it);
    return true;
}

// Moves every queued event into `heard`; false once the connection broke.
void drain(xcb_connection_t* c) {
    while (XPtr<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) continue;
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(*event);
        const Change change{notify.window, notify.atom};
        if (std::find(heard.begin(), heard.end(), change) == heard.end()) heard.push_back(change);
    }
}

}  // namespace

void listen(Connection& connection, xcb_window_t window, bool on) {
    if (connection.onMainThread()) return;
    xcb_connection_t* c = connection.xcb();
    const std::uint32_t mask = on ? XCB_EVENT_MASK_PROPERTY_CHANGE : XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
    drain(c);
    heard.erase(std::remove_if(heard.begin(), heard.end(),
                               [window](const Change& change) { return change.first == window; }),
                heard.end());
}

bool waitFor(Connection& connection, xcb_window_t window, xcb_atom_t atom,
             std::chrono::milliseconds timeout) {
    if (connection.onMainThread()) return false;
    xcb_connection_t* c = connection.xcb();
    const Change wanted{window, atom};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    connection.flush();
    for (;;) {
        drain(c);
        if (take(wanted)) return true;
        if (xcb_connection_has_error(c) != 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    }
}

}  // namespace corvane::x11::PropertyWait
