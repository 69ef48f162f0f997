#include "bench/run_summary.hpp"

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "bench/latency_stats.hpp"

namespace corvane::bench {

namespace {

std::optional<double> medianOf(const std::vector<std::optional<double>>& values) {
    std::vector<double> known;
    for (const auto& v : values)
        if (v) known.push_back(*v);
    const auto summary = summarize(known);
    if (!summary) return std::nullopt;
    return summary->median;
}

std::string text(const std::optional<double>& value) {
    if (!value) return "  n/a";
    std::ostringstream out;
    out << std::fixed << std::setprecision(2) << std::setw(5) << *value;
    return out.str();
}

}  // namespace

void RunSummary::add(const std::string& title, const std::vector<Series>& series) {
    auto section =
        std::find_if(sections_.begin(), sections_.end(), [&](const Section& s) { return s.title == title; });
    if (section == sections_.end()) section = sections_.insert(sections_.end(), Section{title, {}});
    if (series.empty()) return;
    const auto ours = summarize(series.front().samples);
    for (std::size_t i = 1; i < series.size(); ++i) {
        auto rival = std::find_if(section->rivals.begin(), section->rivals.end(),
                                  [&](const Rival& r) { return r.name == series[i].name; });
        if (rival == section->rivals.end())
            rival = section->rivals.insert(section->rivals.end(), Rival{series[i].name, {}, {}});
        const auto theirs = summarize(series[i].samples);
        rival->median.push_back(ours && theirs ? ratio(ours->median, theirs->median) : std::nullopt);
        rival->p90.push_back(ours && theirs ? ratio(ours->p90, theirs->p90) : std::nullopt);
    }
}

std::optional<double> RunSummary::medianRatio(const std::string& title, const std::string& rival,
                                              bool p90) const {
    for (const Section& s : sections_) {
        if (s.title != title) continue;
        for (const Rival& r : s.rivals)
            if (r.name == rival) return medianOf(p90 ? r.p90 : r.median);
    }
    return std::nullopt;
}

void RunSummary::print(std::ostream& out) const {
    for (const Section& s : sections_) {
        out << s.title << '\n';
        for (const Rival& r : s.rivals) {
            out << "  corvane / " << std::left << std::setw(9) << r.name << std::right << " median:";
            for (const auto& v : r.median) out << ' ' << text(v);
            out << "  -> " << text(medianOf(r.median)) << "   p90:";
            for (const auto& v : r.p90) out << ' ' << text(v);
            out << "  -> " << text(medianOf(r.p90)) << '\n';
        }
    }
}

}  // namespace corvane::bench
