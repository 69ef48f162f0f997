#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "bench/bench_options.hpp"
#include "bench/desktop_layout.hpp"
#include "tools/xharness/client_window.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// What one press cost the app, from its trace (CORVANE_X11_TRACE): the round
// trips to the X server it waited for, on every thread, and the time from
// the press to its first request.
struct PressCost {
    int roundTrips = 0;
    double firstRequestMs = -1;  // negative: no request sent
};

// Splits the app's trace into presses, in order. Lines that are not the
// trace's are skipped.
std::vector<PressCost> pressCosts(const std::string& log);

// Starts a traced app and presses each action `presses` times (left <->
// right, left <-> bottom, send, send and follow), then prints, per action,
// the round trips each press waited for (median and most) and the median
// time from the press to the first request. The window must be active; the
// app must not be running.
void printRoundTrips(std::ostream& out, xharness::XServer& server, xharness::ClientWindow& window,
                     const Layout& layout, const BenchOptions& options, int presses);

}  // namespace corvane::bench
