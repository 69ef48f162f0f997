#include "bench/round_trip_report.hpp"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>

#include "bench/latency_samplers.hpp"
#include "bench/latency_stats.hpp"
#include "tools/xharness/corvane_process.hpp"

namespace corvane::bench {

namespace {

constexpr const char* tracePrefix = "corvane: trace ";

// The number after `marker` in `line`, when there is one.
std::optional<int> numberAfter(const std::string& line, const std::string& marker) {
    const auto at = line.find(marker);
    if (at == std::string::npos) return std::nullopt;
    std::istringstream in(line.substr(at + marker.size()));
    int value = 0;
    if (!(in >> value)) return std::nullopt;
    return value;
}

struct Action {
    std::string name;
    std::size_t first = 0, count = 0;  // which presses of the trace
};

}  // namespace

std::vector<PressCost> pressCosts(const std::string& log) {
    std::vector<PressCost> presses;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(tracePrefix, 0) != 0) continue;
        const std::string rest = line.substr(std::string(tracePrefix).size());
        if (rest.rfind("press ", 0) == 0) {
            presses.emplace_back();
            continue;
        }
        if (presses.empty()) continue;
        PressCost& press = presses.back();
        // "+0.041 ms round trip 1", "+0.077 ms sent X (1 round trip)"
        if (const auto trips = numberAfter(rest, "round trip "))
            press.roundTrips = std::max(press.roundTrips, *trips);
        if (const auto trips = numberAfter(rest, "(")) press.roundTrips = std::max(press.roundTrips, *trips);
        if (rest.find(" ms sent ") != std::string::npos && press.firstRequestMs < 0) {
            std::istringstream ms(rest.substr(1));
            ms >> press.firstRequestMs;
        }
    }
    return presses;
}

void printRoundTrips(std::ostream& out, xharness::XServer& server, xharness::ClientWindow& window,
                     const Layout& layout, const BenchOptions& options, int presses) {
    // The app inherits our environment; only this instance is traced.
    struct Traced {
        Traced() { ::setenv("CORVANE_X11_TRACE", "1", 1); }
        ~Traced() { ::unsetenv("CORVANE_X11_TRACE"); }
    };
    std::optional<Traced> traced(std::in_place);
    xharness::CorvaneProcess app(options.corvane, server);
    traced.reset();
    window.activate();

    std::vector<Action> actions;
    std::vector<std::string> troubles;
    std::size_t pressed = 0;
    auto run = [&](const std::string& name, const std::function<double()>& sample) {
        Action action{name, pressed, 0};
        if (!troubles.empty()) {
            actions.push_back(action);
            return;
        }
        for (int i = 0; i < presses; ++i) {
            try {
                sample();
                ++action.count;
                ++pressed;
            } catch (const std::runtime_error& error) {
                // The press may or may not have reached the app: the trace
                // can no longer be matched to the presses.
                troubles.push_back(name + ": " + error.what());
                action.count = 0;
                break;
            }
        }
        actions.push_back(action);
    };
    FrameLatency leftRight(server, window, layout.frameOf(leftHalfKeys.placement),
                           layout.frameOf(rightHalfKeys.placement), layout.extents);
    run("left <-> right half", leftRight.sampler(xharness::Chord::parse(leftHalfKeys.appChord),
                                                 xharness::Chord::parse(rightHalfKeys.appChord)));
    FrameLatency leftBottom(server, window, layout.frameOf(leftHalfKeys.placement),
                            layout.frameOf(bottomHalfKeys.placement), layout.extents);
    run("left <-> bottom half", leftBottom.sampler(xharness::Chord::parse(leftHalfKeys.appChord),
                                                   xharness::Chord::parse(bottomHalfKeys.appChord)));
    const auto pause = std::chrono::milliseconds(options.desktopPauseMs);
    DesktopLatency send(server, window, homeDesktop, targetDesktop, pause);
    run("send to desktop 2", send.sampler(xharness::Chord::parse(appSendChord)));
    DesktopLatency follow(server, window, homeDesktop, targetDesktop, pause, true);
    run("send and follow", follow.sampler(xharness::Chord::parse(appFollowChord)));

    if (!options.traceFile.empty()) std::ofstream(options.traceFile) << app.stderrText();
    const std::vector<PressCost> costs = pressCosts(app.stderrText());
    out << "Round trips to the X server per press (the app's own count, CORVANE_X11_TRACE; every thread)\n"
        << "  action                  presses   median   most   press -> first request, median ms\n";
    for (const Action& action : actions) {
        std::vector<double> trips, firstRequest;
        for (std::size_t i = action.first; i < action.first + action.count && i < costs.size(); ++i) {
            trips.push_back(costs[i].roundTrips);
            if (costs[i].firstRequestMs >= 0) firstRequest.push_back(costs[i].firstRequestMs);
        }
        const auto tripSummary = summarize(trips);
        const auto requestSummary = summarize(firstRequest);
        out << "  " << std::left << std::setw(24) << action.name << std::right << std::setw(7)
            << trips.size();
        if (tripSummary) {
            out << std::setw(9) << tripSummary->median << std::setw(7) << tripSummary->max;
        } else {
            out << "   (no presses counted)";
        }
        if (requestSummary)
            out << std::fixed << std::setprecision(3) << std::setw(14) << requestSummary->median;
        out << std::defaultfloat << '\n';
    }
    if (costs.size() != pressed)
        out << "  (the trace holds " << costs.size() << " presses for " << pressed << " made)\n";
    for (const auto& trouble : troubles) out << "  not counted: " << trouble << '\n';
}

}  // namespace corvane::bench
