#pragma once

#include <chrono>

#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// Waking on a property change instead of polling for it, on the calling
// thread's own connection: the desktop queue's, which nothing else reads.
// The main thread's connection belongs to the port's event dispatch, so
// there every call does nothing and a wait returns false at once.
namespace PropertyWait {

// Starts or stops hearing property changes of `window` on this thread's
// connection. Starting forgets changes heard before.
void listen(Connection& connection, xcb_window_t window, bool on);

// Until a change of `atom` on `window` has been heard (possibly already,
// while waiting for another), at most `timeout`. True when it was heard.
bool waitFor(Connection& connection, xcb_window_t window, xcb_atom_t atom, std::chrono::milliseconds timeout);

}  // namespace PropertyWait

}  // namespace corvane::x11
