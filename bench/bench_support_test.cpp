// The benchmark's own arithmetic, parsing and bookkeeping: a wrong
// percentile or a misread /proc field would publish wrong figures.

#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_options.hpp"
#include "bench/interleaved_rounds.hpp"
#include "bench/latency_stats.hpp"
#include "bench/openbox_bindings.hpp"
#include "bench/proc_stats.hpp"
#include "bench/round_trip_report.hpp"
#include "bench/run_summary.hpp"

namespace corvane::bench {
namespace {

TEST(LatencyStats, MedianAndNearestRankP90) {
    EXPECT_FALSE(summarize({}).has_value());

    auto one = summarize({4.0});
    ASSERT_TRUE(one);
    EXPECT_EQ(one->median, 4.0);
    EXPECT_EQ(one->p90, 4.0);

    // Unsorted input; even count: the median is the mean of the middle two.
    auto ten = summarize({10, 1, 9, 2, 8, 3, 7, 4, 6, 5});
    ASSERT_TRUE(ten);
    EXPECT_EQ(ten->count, 10u);
    EXPECT_EQ(ten->median, 5.5);
    EXPECT_EQ(ten->p90, 9.0);  // rank ceil(9) = 9, not 10
    EXPECT_EQ(ten->min, 1.0);
    EXPECT_EQ(ten->max, 10.0);

    std::vector<double> many;
    for (int i = 1; i <= 201; ++i) many.push_back(i);
    auto odd = summarize(many);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->median, 101.0);
    EXPECT_EQ(odd->p90, 181.0);  // ceil(180.9)
}

TEST(LatencyStats, RatioNeedsAPositiveDenominator) {
    EXPECT_DOUBLE_EQ(*ratio(3.0, 1.5), 2.0);
    EXPECT_FALSE(ratio(1.0, 0.0).has_value());
    EXPECT_FALSE(ratio(1.0, -2.0).has_value());
}

TEST(ProcStats, StatFieldsCountFromTheLastParenthesis) {
    // A command name with spaces and a ") " of its own must not shift the fields.
    const std::string line =
        "4242 (corvane) (x y) S 1 4242 4242 0 -1 4194560 1500 0 3 0 17 23 0 0 20 0 3 0 12345 1000 250\n";
    auto stat = parseStat(line);
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->utime, 17u);
    EXPECT_EQ(stat->stime, 23u);
    EXPECT_FALSE(parseStat("4242 (corvane) S 1 2 3").has_value());
    EXPECT_FALSE(parseStat("no parenthesis").has_value());
}

TEST(ProcStats, StatusFieldsAndMissingOnes) {
    const std::string status =
        "Name:\tcorvane\nVmPeak:\t  300000 kB\nVmRSS:\t   41234 kB\nThreads:\t4\n"
        "voluntary_ctxt_switches:\t120\nnonvoluntary_ctxt_switches:\t7\n";
    StatusFields fields = parseStatus(status);
    EXPECT_EQ(fields.rssKb, 41234u);
    EXPECT_EQ(fields.threads, 4u);
    EXPECT_EQ(fields.voluntarySwitches, 120u);
    EXPECT_EQ(fields.involuntarySwitches, 7u);
    // A kernel thread has no VmRSS line; a prefix of another name is not a match.
    StatusFields kernel = parseStatus("Name:\tkthreadd\nVmRSSx:\t5\n");
    EXPECT_FALSE(kernel.rssKb.has_value());
}

TEST(ProcStats, SamplesThisProcess) {
    auto sample = sampleProcess(::getpid());
    ASSERT_TRUE(sample);
    EXPECT_GT(sample->rssKb, 0u);
    EXPECT_GE(sample->threads, 1u);
    // The main thread's id is the process id; a young process may not have switched yet.
    EXPECT_TRUE(sample->switches.contains(::getpid()));
}

TEST(ProcStats, SwitchChangeIsCountedPerThread) {
    ProcessSample before;
    before.switches = {{10, {100, 5}}, {11, {700, 40}}, {12, {50, 1}}};
    ProcessSample after;
    // 10 went on, 11 ended (its 700 must not turn into a negative change),
    // 13 began, and 12's id came back as a new thread with a smaller count.
    after.switches = {{10, {103, 6}}, {12, {2, 0}}, {13, {4, 2}}};
    SwitchChange change = switchesBetween(before, after);
    EXPECT_EQ(change.switches, (ThreadSwitches{3 + 2 + 4, 1 + 0 + 2}));
    EXPECT_EQ(change.endedThreads, 1u);
    EXPECT_EQ(change.newThreads, 2u);
    EXPECT_EQ(after.totalSwitches(), (ThreadSwitches{109, 8}));
}

TEST(OpenboxBindings, WmctrlGetsTheClientSizeAndTheConfigIsEscaped) {
    const xharness::FrameExtents extents{1, 1, 20, 5};
    EXPECT_EQ(wmctrlMoveResizeCommand(Rect{0, 0, 683, 744}, extents), "wmctrl -r :ACTIVE: -e 0,0,0,681,719");
    EXPECT_EQ(
        moveResizeToAction(Rect{683, 0, 683, 744}),
        "<action name=\"MoveResizeTo\"><x>683</x><y>0</y><width>683</width><height>744</height></action>");
    const std::string rc = openboxConfig(3, {{"W-F1", executeAction("sh -c 'a && b < c'")}});
    EXPECT_NE(rc.find("<number>3</number>"), std::string::npos);
    EXPECT_NE(
        rc.find("<keybind key=\"W-F1\"><action name=\"Execute\"><command>sh -c 'a &amp;&amp; b &lt; c'"),
        std::string::npos);
    EXPECT_EQ(rc.find("&& b"), std::string::npos);
}

TEST(BenchOptions, DefaultsValuesAndErrors) {
    std::string error;
    auto defaults = parseBenchOptions({}, "/x/corvane", error);
    ASSERT_TRUE(defaults);
    EXPECT_EQ(defaults->presses, 200);
    EXPECT_EQ(defaults->idleSeconds, 60);
    EXPECT_EQ(defaults->corvane, "/x/corvane");

    auto set = parseBenchOptions(
        {"--presses", "20", "--idle-seconds", "0", "--corvane", "/y", "--trace-file", "t.txt"}, "/x", error);
    ASSERT_TRUE(set);
    EXPECT_EQ(set->presses, 20);
    EXPECT_EQ(set->idleSeconds, 0);
    EXPECT_EQ(set->corvane, "/y");
    EXPECT_EQ(set->traceFile, "t.txt");

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--presses"},
                                                                                     {"--presses", "0"},
                                                                                     {"--presses", "12x"},
                                                                                     {"--idle-seconds", "-1"},
                                                                                     {"--fast"},
                                                                                     {"--trace-file"}}) {
        error.clear();
        EXPECT_FALSE(parseBenchOptions(bad, "/x", error).has_value()) << bad.front();
        EXPECT_FALSE(error.empty());
    }
}

TEST(InterleavedRounds, TurnsTheOrderAndGoesOnPastASampleThatDoesNotSettle) {
    std::vector<std::string> order;
    int bCalls = 0;
    std::vector<Contender> contenders{
        {"a", "",
         [&] {
             order.push_back("a");
             return 1.0;
         }},
        {"b", "",
         [&] {
             order.push_back("b");
             if (++bCalls == 3) throw std::runtime_error("gone");
             return 2.0;
         }},
        {"c", "",
         [&] {
             order.push_back("c");
             return 3.0;
         }},
    };
    std::vector<Series> series = runInterleaved(contenders, 3, 1);
    ASSERT_EQ(series.size(), 3u);
    // Round 0 (warm-up) a b c, round 1 b c a, round 2 c a b (b does not
    // settle: reported, left out, and b goes on), round 3 a b c.
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "c", "b", "c", "a", "c", "a", "b", "a", "b", "c"}));
    EXPECT_EQ(series[0].samples.size(), 3u);
    EXPECT_EQ(series[1].samples, (std::vector<double>{2.0, 2.0}));
    EXPECT_EQ(series[1].unsettled, 1);
    EXPECT_EQ(series[1].unsettledWhy, "gone");
    EXPECT_FALSE(series[1].failure);
    EXPECT_EQ(series[2].samples, (std::vector<double>{3.0, 3.0, 3.0}));

    // One that never settles is retired once it has failed often enough.
    std::vector<Contender> broken{{"x", "", []() -> double { throw std::runtime_error("never"); }}};
    series = runInterleaved(broken, 20, 0);
    EXPECT_EQ(series[0].unsettled, maxUnsettled);
    EXPECT_TRUE(series[0].failure);
}

TEST(RoundTripReport, TheTraceIsSplitIntoPressesWithTheirMostRoundTripsAndFirstRequest) {
    const std::string log =
        "corvane: something else\n"
        "corvane: trace +0.100 ms round trip 7\n"  // before any press: not counted
        "corvane: trace press 3\n"
        "corvane: trace +0.041 ms round trip 1\n"
        "corvane: trace +0.077 ms sent _NET_MOVERESIZE_WINDOW (1 round trip)\n"
        "corvane: trace +0.090 ms sent _NET_MOVERESIZE_WINDOW (1 round trip)\n"
        "corvane: trace press 12\n"
        "corvane: trace +0.050 ms round trip 1\n"
        "corvane: trace +0.400 ms sent _NET_WM_DESKTOP (1 round trip)\n"
        "corvane: trace +0.900 ms received _NET_WM_DESKTOP (2 round trips)\n"
        "corvane: trace press 4\n";
    const auto costs = pressCosts(log);
    ASSERT_EQ(costs.size(), 3u);
    EXPECT_EQ(costs[0].roundTrips, 1);
    EXPECT_DOUBLE_EQ(costs[0].firstRequestMs, 0.077);
    EXPECT_EQ(costs[1].roundTrips, 2);
    EXPECT_DOUBLE_EQ(costs[1].firstRequestMs, 0.4);
    EXPECT_EQ(costs[2].roundTrips, 0);
    EXPECT_LT(costs[2].firstRequestMs, 0);
}

TEST(RunSummary, TheMedianOfTheRunsRatiosAndRunsWithoutOne) {
    auto series = [](double ours, double theirs) {
        return std::vector<Series>{{"corvane", "", {ours}, {}, 0, {}}, {"built-in", "", {theirs}, {}, 0, {}}};
    };
    RunSummary summary;
    summary.add("halves", series(1.2, 1.0));
    summary.add("halves", series(3.0, 1.0));
    summary.add("halves", series(1.1, 1.0));
    // A run in which the rival measured nothing has no ratio and is left out.
    summary.add("send", series(2.0, 1.0));
    summary.add("send", {{"corvane", "", {2.0}, {}, 0, {}}, {"built-in", "", {}, {}, 0, {}}});
    EXPECT_DOUBLE_EQ(*summary.medianRatio("halves", "built-in", false), 1.2);
    EXPECT_DOUBLE_EQ(*summary.medianRatio("send", "built-in", true), 2.0);
    EXPECT_FALSE(summary.medianRatio("halves", "wmctrl", false));
}

}  // namespace
}  // namespace corvane::bench
