#include "bench/latency_stats.hpp"

#include <algorithm>
#include <cmath>

namespace corvane::bench {

std::optional<LatencySummary> summarize(std::vector<double> samples) {
    if (samples.empty()) return std::nullopt;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    LatencySummary summary;
    summary.count = n;
    summary.min = samples.front();
    summary.max = samples.back();
    summary.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    // Nearest rank: ceil(0.9 n), 1-based. Integer arithmetic keeps 0.9 * 10 from becoming 9.000001.
    const std::size_t rank = (9 * n + 9) / 10;
    summary.p90 = samples[std::max<std::size_t>(rank, 1) - 1];
    return summary;
}

std::optional<double> ratio(double numerator, double denominator) {
    if (!(denominator > 0) || !std::isfinite(numerator)) return std::nullopt;
    return numerator / denominator;
}

}  // namespace corvane::bench
