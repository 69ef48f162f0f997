#pragma once

#include <string>
#include <vector>

namespace corvane::bench {

// Prints Corvane's and the compositor's own series (milliseconds) with their
// median and p90, then the ratio of the medians against the 1.5 the
// compositor benchmarks aim at: the closing lines of every one of them.
void printSideBySide(const std::string& ourLabel, const std::vector<double>& ours,
                     const std::string& theirLabel, const std::vector<double>& theirs);

}  // namespace corvane::bench
