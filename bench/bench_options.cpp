#include "bench/bench_options.hpp"

#include <charconv>

namespace corvane::bench {

namespace {

std::optional<int> count(const std::string& text, int minimum) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum) return std::nullopt;
    return value;
}

}  // namespace

std::optional<BenchOptions> parseBenchOptions(const std::vector<std::string>& arguments,
                                              const std::filesystem::path& defaultCorvane,
                                              std::string& error) {
    BenchOptions options;
    options.corvane = defaultCorvane;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        int* target = name == "--presses"            ? &options.presses
                      : name == "--idle-seconds"     ? &options.idleSeconds
                      : name == "--launches"         ? &options.launches
                      : name == "--warmup"           ? &options.warmup
                      : name == "--desktop-pause-ms" ? &options.desktopPauseMs
                      : name == "--runs"             ? &options.runs
                                                     : nullptr;
        std::filesystem::path* path = name == "--corvane"      ? &options.corvane
                                      : name == "--trace-file" ? &options.traceFile
                                                               : nullptr;
        if (target == nullptr && path == nullptr) {
            error = "unknown argument: " + name;
            return std::nullopt;
        }
        if (i + 1 >= arguments.size()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (path != nullptr) {
            *path = value;
            continue;
        }
        // Idle time, warm-up and pause may be 0; a series needs at least one sample.
        const bool mayBeZero =
            target == &options.idleSeconds || target == &options.warmup || target == &options.desktopPauseMs;
        const int minimum = mayBeZero ? 0 : 1;
        std::optional<int> parsed = count(value, minimum);
        if (!parsed) {
            error = name + " needs a whole number of at least " + std::to_string(minimum) + ", not \"" +
                    value + "\"";
            return std::nullopt;
        }
        *target = *parsed;
    }
    return options;
}

std::string benchUsage() {
    return "usage: corvane_bench_desktop [--presses N] [--idle-seconds S] [--launches N] [--warmup N]\n"
           "                             [--desktop-pause-ms MS] [--runs N] [--corvane PATH]\n"
           "                             [--trace-file PATH]\n"
           "  --presses N       timed presses per method in each latency section (default 200)\n"
           "  --idle-seconds S  how long the idle app is watched (default 60)\n"
           "  --launches N      timed launches of the app (default 20)\n"
           "  --warmup N        untimed presses per method before the timed ones (default 6)\n"
           "  --desktop-pause-ms MS  quiet time after each desktop send before the window is\n"
           "                    brought back (default 200; the app checks its sends after the press)\n"
           "  --runs N          the latency sections N times, each on a fresh server, then\n"
           "                    the median of the runs' ratios (default 1)\n"
           "  --corvane PATH    the app (default: the one built with this benchmark)\n"
           "  --trace-file PATH the traced app's timeline of every press of the round-trip\n"
           "                    section (CORVANE_X11_TRACE lines), written there\n"
           "Runs on a private Xvfb + openbox; needs Xvfb, openbox, trayer and wmctrl on PATH.\n"
           "Set CORVANE_X11_TRACE=1 to see where the app's time goes on each press.\n";
}

}  // namespace corvane::bench
