#pragma once

#include <cstdint>

namespace corvane::x11 {

// Where the time of a press goes, for someone chasing latency: with
// CORVANE_X11_TRACE set in the environment, the port writes one line to
// standard error when a hot-key press is received, when each request that
// acts on it is sent, when a reply it waited for (the window manager's
// answer) is received, and at every round trip to the X server, each with
// the milliseconds since the press and the round trips since the press:
//
//   corvane: trace press 3
//   corvane: trace +0.041 ms round trip 1
//   corvane: trace +0.077 ms sent _NET_MOVERESIZE_WINDOW (1 round trip)
//
// Off, every call is one test of a flag read once at start. Any thread.
namespace PressTrace {

bool enabled();
void pressReceived(std::uint32_t identity);
void requestSent(const char* what);
void replyReceived(const char* what);
// Called by the round-trip counter with its new total.
void roundTrip(std::uint64_t total);

}  // namespace PressTrace

}  // namespace corvane::x11
