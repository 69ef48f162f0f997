#include "bench/side_by_side.hpp"

#include <algorithm>
#include <cstdio>

#include "bench/latency_stats.hpp"

namespace corvane::bench {

void printSideBySide(const std::string& ourLabel, const std::vector<double>& ours,
                     const std::string& theirLabel, const std::vector<double>& theirs) {
    const auto a = summarize(ours);
    const auto b = summarize(theirs);
    const int width = static_cast<int>(std::max(ourLabel.size(), theirLabel.size()));
    for (const auto& [label, summary] : {std::pair{&ourLabel, &a}, std::pair{&theirLabel, &b}}) {
        if (*summary)
            std::printf("  %-*s  median %.2f ms  p90 %.2f ms\n", width, label->c_str(), (*summary)->median,
                        (*summary)->p90);
        else
            std::printf("  %-*s  no samples\n", width, label->c_str());
    }
    const auto r = a && b ? ratio(a->median, b->median) : std::nullopt;
    if (r)
        std::printf("  %-*s  %.2f (target <= 1.5)\n", width, "ratio", *r);
    else
        std::printf("  %-*s  none (a series measured nothing)\n", width, "ratio");
}

}  // namespace corvane::bench
