// corvane_bench_desktop: Corvane's speed and footprint on a real X server,
// side by side with the spawn-a-command approach (an openbox key binding
// running wmctrl) and with openbox's own built-in actions (the floor), all
// on one Xvfb + openbox in one run, their samples interleaved in rounds.
//
// Sections: key press -> outer frame settled (half placements); key press
// -> window on another desktop, without and with following it; the app's
// round trips to the X server per press; the idle footprint of a running
// app, also while another client keeps the desktop busy; launch -> hot keys
// grabbed. Prints medians, p90 and ratios; with --runs N the latency
// sections run N times and the median of their ratios closes the report.
// Never run as a test.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/app_footprint.hpp"
#include "bench/bench_options.hpp"
#include "bench/desktop_layout.hpp"
#include "bench/latency_samplers.hpp"
#include "bench/latency_sections.hpp"
#include "bench/openbox_bindings.hpp"
#include "bench/proc_stats.hpp"
#include "bench/report_table.hpp"
#include "bench/round_trip_report.hpp"
#include "bench/run_summary.hpp"
#include "tools/xharness/client_window.hpp"
#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/temp_dir.hpp"
#include "tools/xharness/x_server.hpp"

#ifndef CORVANE_BINARY_PATH
#error "CORVANE_BINARY_PATH must name the corvane executable"
#endif

namespace corvane::bench {
namespace {

std::string firstLine(const std::string& s) {
    return s.substr(0, s.find('\n'));
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

void printHeader(std::ostream& out, xharness::XServer& server, const Layout& layout,
                 const BenchOptions& options, bool withApp) {
    const std::string openboxVersion = firstLine(server.runClient({"openbox", "--version"}).out);
    const std::string wmctrlVersion = firstLine(server.runClient({"wmctrl", "--version"}).out);
    out << "corvane_bench_desktop: Xvfb " << server.x().screen().width_in_pixels << "x"
        << server.x().screen().height_in_pixels << " + " << openboxVersion << " + trayer, wmctrl "
        << wmctrlVersion << '\n'
        << "  corvane: "
        << (withApp ? options.corvane.string()
                    : "NOT FOUND at " + options.corvane.string() + " (its rows are left out)")
        << '\n'
        << "  CPUs: " << std::thread::hardware_concurrency() << ", load average at start: " << loadAverage()
        << '\n'
        << "  frame extents (l,r,t,b): " << layout.extents.left << ',' << layout.extents.right << ','
        << layout.extents.top << ',' << layout.extents.bottom << "; usable area " << text(layout.visible)
        << '\n'
        << "  halves: left " << text(layout.frameOf(Placement::leftHalf)) << ", right "
        << text(layout.frameOf(Placement::rightHalf)) << ", bottom "
        << text(layout.frameOf(Placement::bottomHalf)) << '\n'
        << "  " << options.presses << " timed samples per method and section after " << options.warmup
        << " untimed; methods interleaved in rounds, the order turned every round\n\n";
}

// Section titles; the run summary tells sections apart by them.
const std::string leftRightTitle =
    "Key press -> outer frame settled: left half <-> right half (the position changes)";
const std::string leftBottomTitle =
    "Key press -> outer frame settled: left half <-> bottom half (position and size change)";
std::string sendTitle(const BenchOptions& options) {
    return "Key press -> window on desktop 2 (_NET_WM_DESKTOP); left there " +
           std::to_string(options.desktopPauseMs) + " ms, then moved back; quiet " +
           std::to_string(DesktopLatency::quietBeforePress.count()) + " ms before the next press";
}
std::string followTitle(const BenchOptions& options) {
    return "Send and follow: key press -> window on desktop 2 and desktop 2 shown; left there " +
           std::to_string(options.desktopPauseMs) + " ms, then both moved back; quiet " +
           std::to_string(DesktopLatency::quietBeforePress.count()) + " ms before the next press";
}

// One run of the latency sections on a fresh server; the last run also
// counts the app's round trips and measures its footprint. False when the
// app died or misbehaved.
bool runOnce(const BenchOptions& options, int index, RunSummary& summary) {
    const bool withApp = std::filesystem::exists(options.corvane);
    const bool last = index + 1 == options.runs;
    std::ostream& out = std::cout;
    xharness::TempDir work("corvane-bench");

    xharness::XServerOptions serverOptions;
    serverOptions.windowManager = false;  // ours, with its key bindings, comes below
    serverOptions.tray = true;            // the app puts an icon in the tray, as on a desktop
    xharness::XServer server(serverOptions);

    const Layout layout = measureLayout(server, work.path());
    const std::filesystem::path config = work.path() / "rc.xml";
    std::ofstream(config) << openboxConfig(desktopCount, benchBindings(layout));
    server.startWindowManager(config);
    std::unique_ptr<xharness::ClientWindow> window =
        xharness::ClientWindow::open(server, "Corvane bench window");
    if (options.runs > 1) out << "==== run " << index + 1 << " of " << options.runs << "\n";
    printHeader(out, server, layout, options, withApp);

    std::optional<ProcessSample> afterWork;
    std::string appTrouble;
    std::string appLog;
    {
        std::unique_ptr<xharness::CorvaneProcess> app;
        if (withApp) app = std::make_unique<xharness::CorvaneProcess>(options.corvane, server);
        window->activate();
        auto section = [&](const std::string& title, const std::vector<Series>& series) {
            printLatencySection(out, title, series);
            summary.add(title, series);
            out << '\n';
        };
        section(leftRightTitle,
                placementSeries(server, *window, layout, leftHalfKeys, rightHalfKeys, options, withApp));
        section(leftBottomTitle,
                placementSeries(server, *window, layout, leftHalfKeys, bottomHalfKeys, options, withApp));
        section(sendTitle(options), desktopSeries(server, *window, options, withApp));
        section(followTitle(options), followSeries(server, *window, options, withApp));
        if (app) {
            afterWork = sampleProcess(app->pid());
            appLog = app->stderrText();
            if (!app->isAlive()) appTrouble = "the app died during the latency runs:\n" + appLog;
        }
    }
    if (!withApp) return true;
    if (afterWork) {
        out << "The app that served the presses above, just before it was ended: RSS " << afterWork->rssKb
            << " kB, CPU ticks " << afterWork->cpuTicks << ", threads " << afterWork->threads << "\n\n";
    }
    if (!appTrouble.empty()) out << "FAILED: " << appTrouble << "\n\n";
    printLogTail(out, appLog);
    if (!last) return appTrouble.empty();

    printRoundTrips(out, server, *window, layout, options, 20);
    out << '\n';
    printIdleFootprint(out, server, options);
    out << '\n';
    printBusyFootprint(out, server, options);
    out << '\n';
    printLaunchTimes(out, server, options);
    out << "\n  load average at end: " << loadAverage() << '\n';
    return appTrouble.empty();
}

int run(const BenchOptions& options) {
    RunSummary summary;
    bool allWell = true;
    for (int index = 0; index < options.runs; ++index) {
        // A run that breaks (the server, the window manager) is reported;
        // the others still count.
        try {
            allWell = runOnce(options, index, summary) && allWell;
        } catch (const std::exception& failure) {
            std::cout << "FAILED: run " << index + 1 << ": " << failure.what() << "\n\n";
            allWell = false;
        }
        std::cout.flush();
    }
    if (options.runs > 1) {
        std::cout << "\n==== Ratios of each run, and their median over " << options.runs << " runs\n";
        summary.print(std::cout);
    }
    return allWell ? 0 : 1;
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
    using namespace corvane::bench;
    std::string error;
    std::optional<BenchOptions> options =
        parseBenchOptions(std::vector<std::string>(argv + 1, argv + argc), CORVANE_BINARY_PATH, error);
    if (!options) {
        std::cerr << "corvane_bench_desktop: " << error << '\n' << benchUsage();
        return 2;
    }
    if (options->help) {
        std::cout << benchUsage();
        return 0;
    }
    try {
        return run(*options);
    } catch (const std::exception& failure) {
        std::cerr << "corvane_bench_desktop: " << failure.what() << '\n';
        return 1;
    }
}
