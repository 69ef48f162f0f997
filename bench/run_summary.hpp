#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bench/interleaved_rounds.hpp"

namespace corvane::bench {

// The ratios of the first series of a section (the app) to each other one,
// collected over several runs of the same sections, and their median: a
// 2-core machine moves single runs' ratios with the CPUs the processes land on.
class RunSummary {
public:
    // Adds one run of a section (sections are told apart by their title).
    void add(const std::string& section, const std::vector<Series>& series);

    // Per section and rival: each run's median and p90 ratios, and the median
    // of them.
    void print(std::ostream& out) const;

    // The median over the runs of one section's ratio against `rival`;
    // absent when no run measured it. For tests.
    std::optional<double> medianRatio(const std::string& section, const std::string& rival, bool p90) const;

private:
    struct Rival {
        std::string name;
        std::vector<std::optional<double>> median, p90;  // one per run
    };
    struct Section {
        std::string title;
        std::vector<Rival> rivals;
    };
    std::vector<Section> sections_;
};

}  // namespace corvane::bench
