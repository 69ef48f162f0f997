#include "bench/app_footprint.hpp"

#include <chrono>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "bench/busy_client.hpp"
#include "bench/desktop_layout.hpp"
#include "bench/proc_stats.hpp"
#include "bench/report_table.hpp"
#include "tools/xharness/corvane_process.hpp"

namespace corvane::bench {

namespace {

constexpr std::size_t labelWidth = 30;

void printRow(std::ostream& out, const std::string& label, std::uint64_t before, std::uint64_t after,
              long long change) {
    out << "  " << label << std::string(label.size() < labelWidth ? labelWidth - label.size() : 0, ' ')
        << std::setw(12) << before << std::setw(14) << after << std::setw(10) << std::showpos << change
        << std::noshowpos << '\n';
}

long long difference(std::uint64_t before, std::uint64_t after) {
    return static_cast<long long>(after) - static_cast<long long>(before);
}

}  // namespace

void printIdleFootprint(std::ostream& out, xharness::XServer& server, const BenchOptions& options) {
    xharness::CorvaneProcess app(options.corvane, server);
    std::optional<ProcessSample> atReady = sampleProcess(app.pid());
    std::cerr << "  idle: watching the app for " << options.idleSeconds << " s\n";
    // The idle period is the measurement itself; waiting on the app's exit
    // descriptor also notices at once if it dies in the meantime.
    std::optional<xharness::ExitStatus> ended = app.waitForExit(std::chrono::seconds(options.idleSeconds));
    std::optional<ProcessSample> after = sampleProcess(app.pid());
    out << "Idle: one running corvane, from \"ready\" over " << options.idleSeconds
        << " s with nothing pressed (clock tick = 1/" << ticksPerSecond() << " s)\n";
    if (ended || !atReady || !after) {
        out << "  FAILED: the app ended during the idle period"
            << (ended ? " (" + xharness::describe(*ended) + ")" : std::string()) << "\n  stderr:\n"
            << app.stderrText() << '\n';
        return;
    }
    const SwitchChange switches = switchesBetween(*atReady, *after);
    const ThreadSwitches before = atReady->totalSwitches();
    const ThreadSwitches now = after->totalSwitches();
    out << "  " << std::string(labelWidth, ' ') << std::setw(12) << "at ready" << std::setw(14)
        << ("after " + std::to_string(options.idleSeconds) + " s") << std::setw(10) << "change" << '\n';
    printRow(out, "RSS (kB)", atReady->rssKb, after->rssKb, difference(atReady->rssKb, after->rssKb));
    printRow(out, "CPU ticks (utime+stime)", atReady->cpuTicks, after->cpuTicks,
             difference(atReady->cpuTicks, after->cpuTicks));
    printRow(out, "voluntary ctx switches", before.voluntary, now.voluntary,
             static_cast<long long>(switches.switches.voluntary));
    printRow(out, "involuntary ctx switches", before.involuntary, now.involuntary,
             static_cast<long long>(switches.switches.involuntary));
    printRow(out, "threads", atReady->threads, after->threads, difference(atReady->threads, after->threads));
    out << "  (switches: totals of the live threads; the change is per thread, so " << switches.endedThreads
        << " thread(s) that ended and " << switches.newThreads
        << " that began in the period do not distort it";
    if (switches.endedThreads > 0) out << "; what the ended ones did in the period is not counted";
    out << ")\n";
}

void printBusyFootprint(std::ostream& out, xharness::XServer& server, const BenchOptions& options) {
    xharness::CorvaneProcess app(options.corvane, server);
    std::optional<ProcessSample> atReady;
    std::optional<ProcessSample> after;
    long changes = 0;
    std::string trouble;
    std::optional<xharness::ExitStatus> ended;
    std::cerr << "  idle while busy: watching the app for " << options.idleSeconds << " s\n";
    {
        BusyClient busy(server.display(), busyPerSecond);
        atReady = sampleProcess(app.pid());
        ended = app.waitForExit(std::chrono::seconds(options.idleSeconds));
        after = sampleProcess(app.pid());
        changes = busy.changes();
        trouble = busy.trouble();
    }
    out << "Idle while busy: one running corvane over " << options.idleSeconds
        << " s with nothing pressed, while another client retitles and moves its own window " << busyPerSecond
        << " times a second (" << changes << " changes made)\n";
    if (ended || !atReady || !after || !trouble.empty()) {
        out << "  FAILED: " << (trouble.empty() ? "the app ended during the period" : trouble)
            << "\n  stderr:\n"
            << app.stderrText() << '\n';
        return;
    }
    const long long ticks = difference(atReady->cpuTicks, after->cpuTicks);
    const double share = options.idleSeconds > 0
                             ? 100.0 * static_cast<double>(ticks) /
                                   (static_cast<double>(ticksPerSecond()) * options.idleSeconds)
                             : 0.0;
    const SwitchChange switches = switchesBetween(*atReady, *after);
    out << "  CPU ticks (utime+stime)        " << std::setw(10) << ticks << "  = " << std::fixed
        << std::setprecision(3) << share << " % of one core (target < 0.5 %)\n"
        << std::defaultfloat << "  voluntary ctx switches         " << std::setw(10)
        << switches.switches.voluntary << "\n  involuntary ctx switches       " << std::setw(10)
        << switches.switches.involuntary << "\n  RSS (kB)                       " << std::setw(10)
        << after->rssKb << '\n';
}

void printLaunchTimes(std::ostream& out, xharness::XServer& server, const BenchOptions& options) {
    Series launches{
        "corvane", "spawn to \"ready\" on CORVANE_READY_FD; fresh XDG_CONFIG_HOME each; ended between",
        {},        {},
        0,         {}};
    const xharness::Chord held = xharness::Chord::parse(leftHalfKeys.appChord);
    for (int i = 0; i < options.launches && !launches.failure; ++i) {
        try {
            xharness::CorvaneProcess launch(options.corvane, server);
            // "ready" promises the hot keys are grabbed: another client's grab of one must be refused.
            if (server.keyboard().grab(held)) {
                server.keyboard().ungrab(held);
                throw std::runtime_error("the app said ready but does not hold " + held.text);
            }
            launches.samples.push_back(
                std::chrono::duration<double, std::milli>(launch.preciseStartDuration()).count());
        } catch (const std::runtime_error& error) {
            launches.failure = error.what();
        }
    }
    printLatencySection(out,
                        "Launch -> hot keys grabbed, " + std::to_string(options.launches) + " launches (ms)",
                        {launches});
}

void printLogTail(std::ostream& out, const std::string& log) {
    constexpr std::size_t shown = 12;
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (lines.empty()) return;
    out << "The app wrote " << lines.size() << " line(s) to stderr during the latency runs"
        << (lines.size() > shown ? "; the last " + std::to_string(shown) : std::string()) << ":\n";
    for (std::size_t i = lines.size() > shown ? lines.size() - shown : 0; i < lines.size(); ++i)
        out << "  | " << lines[i] << '\n';
    out << '\n';
}

}  // namespace corvane::bench
