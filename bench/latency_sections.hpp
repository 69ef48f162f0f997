#pragma once

#include <vector>

#include "bench/bench_options.hpp"
#include "bench/desktop_layout.hpp"
#include "bench/interleaved_rounds.hpp"
#include "tools/xharness/client_window.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// Key press -> outer frame settled, the window alternating between the
// frames of two half placements; the app (when `withApp`), wmctrl and
// openbox's own move-resize, interleaved. The app must be running and the
// window must be active.
std::vector<Series> placementSeries(xharness::XServer& server, xharness::ClientWindow& window,
                                    const Layout& layout, const HalfKeys& first, const HalfKeys& second,
                                    const BenchOptions& options, bool withApp);

// Key press -> window on the target desktop; the app's send, wmctrl's and
// openbox's own, interleaved.
std::vector<Series> desktopSeries(xharness::XServer& server, xharness::ClientWindow& window,
                                  const BenchOptions& options, bool withApp);

// Key press -> window on the target desktop and that desktop shown; the
// app's send and follow, a wmctrl pair and openbox's own, interleaved.
std::vector<Series> followSeries(xharness::XServer& server, xharness::ClientWindow& window,
                                 const BenchOptions& options, bool withApp);

}  // namespace corvane::bench
