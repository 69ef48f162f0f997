#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>

namespace corvane::bench {

// Context switches of one thread so far.
struct ThreadSwitches {
    std::uint64_t voluntary = 0;
    std::uint64_t involuntary = 0;
    friend bool operator==(const ThreadSwitches&, const ThreadSwitches&) = default;
};

// What a process costs at one moment, as the kernel accounts it.
struct ProcessSample {
    std::uint64_t rssKb = 0;     // VmRSS of /proc/<pid>/status
    std::uint64_t cpuTicks = 0;  // utime + stime of /proc/<pid>/stat: every thread, ended ones too
    std::uint64_t threads = 0;
    // By thread id, for the threads alive at the moment: the kernel keeps
    // switch counts per thread and drops them when the thread ends.
    std::map<pid_t, ThreadSwitches> switches;

    // Sums over the live threads.
    ThreadSwitches totalSwitches() const;
};

// The context switches a process made between two samples: for a thread
// alive at both, the difference; for a thread that began in between, all
// of its count. A thread that ended in between took its count with it, so
// the result is a lower bound whenever `endedThreads` is not 0.
struct SwitchChange {
    ThreadSwitches switches;
    std::size_t endedThreads = 0;
    std::size_t newThreads = 0;
};
SwitchChange switchesBetween(const ProcessSample& before, const ProcessSample& after);

// Fields of one /proc/<pid>/stat line that the benchmark needs.
struct StatFields {
    std::uint64_t utime = 0;
    std::uint64_t stime = 0;
};

// Fields of one /proc/<pid>[/task/<tid>]/status text; a field the text lacks stays absent.
struct StatusFields {
    std::optional<std::uint64_t> rssKb;
    std::optional<std::uint64_t> threads;
    std::optional<std::uint64_t> voluntarySwitches;
    std::optional<std::uint64_t> involuntarySwitches;
};

// Parses a stat line. The command name (field 2) may hold spaces and
// parentheses, so the fields are counted from its last ')'. Absent when the
// line is cut short.
std::optional<StatFields> parseStat(std::string_view line);
StatusFields parseStatus(std::string_view text);

// Reads the process's stat and status, and the status of each of its
// threads for the context switches (the process's own status counts only
// its main thread). Absent when the process is gone.
std::optional<ProcessSample> sampleProcess(pid_t pid);

// Clock ticks per second (sysconf(_SC_CLK_TCK)), to turn cpuTicks into time.
long ticksPerSecond();

}  // namespace corvane::bench
