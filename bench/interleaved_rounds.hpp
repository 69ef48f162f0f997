#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane::bench {

// One way of doing the thing being timed.
struct Contender {
    std::string name;     // short, for the table: "corvane", "wmctrl", "built-in"
    std::string trigger;  // what the press runs, for the reader
    // Prepares and times one sample; returns milliseconds. Throws
    // std::runtime_error when the outcome does not come: the sample is
    // reported as one that did not settle and left out, and the contender
    // goes on (its next sample puts the window back where it starts), unless
    // it keeps failing.
    std::function<double()> sample;
};

// The samples of one contender, and why it stopped early if it did.
struct Series {
    std::string name;
    std::string trigger;
    std::vector<double> samples;
    std::optional<std::string> failure;       // why the contender was retired
    int unsettled = 0;                        // samples whose outcome did not come
    std::optional<std::string> unsettledWhy;  // the first of them
};

// Takes `warmup` untimed samples and then `samples` timed ones from every
// contender, one each per round, the order turned by one place every round,
// so that a change in load during the run spreads over all of them alike.
// A contender is retired after `maxUnsettled` samples that did not settle:
// it then measures a broken state.
// `progress` hears about every finished round (round, rounds).
inline constexpr int maxUnsettled = 5;
std::vector<Series> runInterleaved(std::vector<Contender>& contenders, int samples, int warmup,
                                   const std::function<void(int, int)>& progress = {});

}  // namespace corvane::bench
