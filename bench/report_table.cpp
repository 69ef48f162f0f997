#include "bench/report_table.hpp"

#include <iomanip>
#include <optional>
#include <sstream>

#include "bench/latency_stats.hpp"

namespace corvane::bench {

namespace {

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string ratioText(const std::optional<double>& value) {
    if (!value) return "      n/a";
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << std::setw(9) << *value;
    return text.str();
}

}  // namespace

std::string column(double value, int width, int decimals) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(decimals) << std::setw(width) << value;
    return text.str();
}

void printLatencySection(std::ostream& out, const std::string& title, const std::vector<Series>& series) {
    out << title << '\n';
    out << "  " << padded("method", 10) << std::setw(6) << "n" << std::setw(12) << "median ms"
        << std::setw(10) << "p90 ms" << std::setw(10) << "min ms" << std::setw(10) << "max ms" << '\n';
    std::vector<std::optional<LatencySummary>> summaries;
    for (const Series& s : series) {
        std::optional<LatencySummary> summary = summarize(s.samples);
        summaries.push_back(summary);
        out << "  " << padded(s.name, 10);
        if (summary) {
            out << std::setw(6) << summary->count << column(summary->median, 12) << column(summary->p90, 10)
                << column(summary->min, 10) << column(summary->max, 10);
        } else {
            out << std::setw(6) << 0 << "  (no samples)";
        }
        out << '\n';
        if (s.unsettled > 0 && !s.failure)
            out << "  " << padded("", 10) << "  " << s.unsettled
                << " sample(s) did not settle, left out; the first: " << *s.unsettledWhy << '\n';
        if (s.failure) out << "  " << padded("", 10) << "  STOPPED: " << *s.failure << '\n';
    }
    for (const Series& s : series) out << "  " << padded(s.name, 10) << "= " << s.trigger << '\n';
    if (series.empty() || !summaries.front()) return;
    const LatencySummary& ours = *summaries.front();
    for (std::size_t i = 1; i < series.size(); ++i) {
        if (!summaries[i]) continue;
        out << "  ratio " << padded(series.front().name + " / " + series[i].name, 22) << " median"
            << ratioText(ratio(ours.median, summaries[i]->median)) << "   p90"
            << ratioText(ratio(ours.p90, summaries[i]->p90)) << '\n';
    }
}

}  // namespace corvane::bench
