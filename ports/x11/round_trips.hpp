#pragma once

#include <cstdint>

#include <xcb/xcb.h>

namespace corvane::x11 {

// Counts the times this process waited for the X server: every reply the
// port waits for goes through awaiting(), and a wait counts once per batch,
// so requests sent together and answered together cost one. A wait counts
// when its request went out after the last counted wait on that connection
// began; the requests sent before that wait were answered by the same trip.
//
// Any thread; each connection is used by one thread at a time.
namespace RoundTrips {

// Notes a wait for the reply to `sequence` on `c`, just before it happens.
void beforeWait(xcb_connection_t* c, unsigned int sequence);

// The reply to `sequence` on `c` has arrived without a wait: waits for it
// and for the replies to earlier requests do not count.
void arrived(xcb_connection_t* c, unsigned int sequence);

// The connection was closed: a later one at the same address starts afresh
// (on the calling thread; other threads' records go with them).
void forget(xcb_connection_t* c);

// Round trips since the process started, on every connection of the port.
std::uint64_t count();

}  // namespace RoundTrips

// Passes a cookie through, noting the wait for its reply:
//   xcb_ewmh_get_active_window_reply(ewmh, awaiting(c, cookie), &window, nullptr)
template <class Cookie>
Cookie awaiting(xcb_connection_t* c, Cookie cookie) {
    RoundTrips::beforeWait(c, cookie.sequence);
    return cookie;
}

}  // namespace corvane::x11
