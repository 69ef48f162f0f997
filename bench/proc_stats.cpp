#include "bench/proc_stats.hpp"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace corvane::bench {

namespace {

std::optional<std::string> readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::optional<std::uint64_t> toNumber(std::string_view text) {
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

// The number after "Name:" in a status text, skipping the padding and
// ignoring a trailing unit ("kB").
std::optional<std::uint64_t> statusValue(std::string_view text, std::string_view name) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        std::string_view line =
            text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (line.size() > name.size() && line.substr(0, name.size()) == name && line[name.size()] == ':') {
            std::string_view rest = line.substr(name.size() + 1);
            rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
            return toNumber(rest);
        }
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<StatFields> parseStat(std::string_view line) {
    std::size_t close = line.rfind(')');
    if (close == std::string_view::npos) return std::nullopt;
    // After the name: field 3 (state) onwards; utime and stime are fields 14 and 15.
    std::vector<std::string_view> fields;
    std::size_t at = close + 1;
    while (at < line.size() && fields.size() < 13) {
        at = line.find_first_not_of(" \n", at);
        if (at == std::string_view::npos) break;
        std::size_t end = line.find_first_of(" \n", at);
        fields.push_back(line.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at));
        at = end == std::string_view::npos ? line.size() : end;
    }
    if (fields.size() < 13) return std::nullopt;
    std::optional<std::uint64_t> utime = toNumber(fields[11]);
    std::optional<std::uint64_t> stime = toNumber(fields[12]);
    if (!utime || !stime) return std::nullopt;
    return StatFields{*utime, *stime};
}

StatusFields parseStatus(std::string_view text) {
    return StatusFields{statusValue(text, "VmRSS"), statusValue(text, "Threads"),
                        statusValue(text, "voluntary_ctxt_switches"),
                        statusValue(text, "nonvoluntary_ctxt_switches")};
}

std::optional<ProcessSample> sampleProcess(pid_t pid) {
    const std::filesystem::path dir = std::filesystem::path("/proc") / std::to_string(pid);
    std::optional<std::string> statText = readText(dir / "stat");
    std::optional<std::string> statusText = readText(dir / "status");
    if (!statText || !statusText) return std::nullopt;
    std::optional<StatFields> stat = parseStat(*statText);
    StatusFields status = parseStatus(*statusText);
    if (!stat || !status.rssKb) return std::nullopt;

    ProcessSample sample;
    sample.rssKb = *status.rssKb;
    sample.cpuTicks = stat->utime + stat->stime;
    sample.threads = status.threads.value_or(0);
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(dir / "task", error)) {
        std::optional<std::uint64_t> tid = toNumber(task.path().filename().string());
        // A thread may end between the listing and the read; it then counts as ended.
        std::optional<std::string> taskStatus = readText(task.path() / "status");
        if (!tid || !taskStatus) continue;
        StatusFields fields = parseStatus(*taskStatus);
        sample.switches[static_cast<pid_t>(*tid)] =
            ThreadSwitches{fields.voluntarySwitches.value_or(0), fields.involuntarySwitches.value_or(0)};
    }
    return sample;
}

ThreadSwitches ProcessSample::totalSwitches() const {
    ThreadSwitches total;
    for (const auto& [tid, counts] : switches) {
        total.voluntary += counts.voluntary;
        total.involuntary += counts.involuntary;
    }
    return total;
}

SwitchChange switchesBetween(const ProcessSample& before, const ProcessSample& after) {
    SwitchChange change;
    for (const auto& [tid, now] : after.switches) {
        auto earlier = before.switches.find(tid);
        // A reused thread id shows a smaller count: it is a new thread.
        const bool same = earlier != before.switches.end() && earlier->second.voluntary <= now.voluntary &&
                          earlier->second.involuntary <= now.involuntary;
        const ThreadSwitches base = same ? earlier->second : ThreadSwitches{};
        if (!same) ++change.newThreads;
        change.switches.voluntary += now.voluntary - base.voluntary;
        change.switches.involuntary += now.involuntary - base.involuntary;
    }
    for (const auto& [tid, counts] : before.switches) {
        if (!after.switches.contains(tid)) ++change.endedThreads;
    }
    return change;
}

long ticksPerSecond() {
    return ::sysconf(_SC_CLK_TCK);
}

}  // namespace corvane::bench
