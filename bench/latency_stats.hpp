#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace corvane::bench {

// The figures a latency series is judged by. Milliseconds throughout.
struct LatencySummary {
    std::size_t count = 0;
    double median = 0;
    double p90 = 0;
    double min = 0;
    double max = 0;
};

// Median (mean of the two middle values for an even count) and the 90th
// percentile by nearest rank: the smallest sample that at least 90 % of the
// samples do not exceed, so it is always a value that was measured.
// Absent for an empty series.
std::optional<LatencySummary> summarize(std::vector<double> samples);

// numerator / denominator; absent when the denominator is not positive, so
// that a ratio against a series that measured nothing is never printed as infinity.
std::optional<double> ratio(double numerator, double denominator);

}  // namespace corvane::bench
