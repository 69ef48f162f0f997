#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corvane::bench {

// The command line of corvane_bench_desktop.
struct BenchOptions {
    int presses = 200;  // timed samples per method, in each latency section
    int warmup = 6;     // untimed samples per method first (cold caches, first spawns)
    int idleSeconds = 60;
    int launches = 20;
    int desktopPauseMs = 200;         // quiet time after each desktop send (see DesktopLatency)
    int runs = 1;                     // the latency sections this many times, each on a fresh server
    std::filesystem::path corvane;    // the app; its sections are left out when it does not exist
    std::filesystem::path traceFile;  // where the traced app's press timelines go (empty: nowhere)
    bool help = false;
};

// Parses `--presses N --idle-seconds S --launches N --warmup N
// --desktop-pause-ms MS --runs N --corvane PATH --trace-file PATH --help`.
// Absent, with `error` set, on an unknown argument or a value that is
// missing, not a number or out of range.
std::optional<BenchOptions> parseBenchOptions(const std::vector<std::string>& arguments,
                                              const std::filesystem::path& defaultCorvane,
                                              std::string& error);

std::string benchUsage();

}  // namespace corvane::bench
