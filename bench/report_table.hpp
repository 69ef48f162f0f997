#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "bench/interleaved_rounds.hpp"

namespace corvane::bench {

// Prints one latency section: a row per series (samples, median, p90, min,
// max in milliseconds, or why it stopped), what each series pressed, and
// the ratios of the first series' median and p90 to every other's.
void printLatencySection(std::ostream& out, const std::string& title, const std::vector<Series>& series);

// Fixed-point text with `decimals` places, right-aligned in `width` columns.
std::string column(double value, int width, int decimals = 3);

}  // namespace corvane::bench
