#pragma once

#include <ostream>
#include <string>

#include "bench/bench_options.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// Starts the app, samples it at "ready" and again after the idle period
// with nothing pressed, and prints RSS, CPU ticks, context switches and
// threads with their change. No other instance may be running.
void printIdleFootprint(std::ostream& out, xharness::XServer& server, const BenchOptions& options);

// The same while another client retitles and moves its own window
// `busyPerSecond` times a second: prints the app's CPU time as a share of
// one core, and its context switches.
inline constexpr int busyPerSecond = 20;
void printBusyFootprint(std::ostream& out, xharness::XServer& server, const BenchOptions& options);

// Launches the app `options.launches` times, each with fresh private XDG
// directories and ended before the next, and prints spawn -> "ready". A
// launch counts only when the app then holds its left-half hot key.
void printLaunchTimes(std::ostream& out, xharness::XServer& server, const BenchOptions& options);

// The last lines the app wrote to stderr, when it wrote any: during a
// benchmark a log line is usually a failure that the timings alone hide.
void printLogTail(std::ostream& out, const std::string& log);

}  // namespace corvane::bench
