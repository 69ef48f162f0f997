#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tools/xharness/unique_fd.hpp"

namespace corvane::xharness {

// How a process ended.
struct ExitStatus {
    bool exited = false;  // ended through exit(); otherwise killed by `signal`
    int code = 0;         // exit code when `exited`
    int signal = 0;       // the terminating signal when not `exited`
    friend bool operator==(const ExitStatus&, const ExitStatus&) = default;
};

std::string describe(const ExitStatus& status);

// What to start and how.
struct SpawnOptions {
    std::vector<std::string> argv;                   // argv[0] is looked up on PATH
    std::map<std::string, std::string> environment;  // set on top of this process's environment
    std::vector<std::string> unsetEnvironment;
    // Descriptors handed to the child: child descriptor number <- our descriptor.
    std::vector<std::pair<int, int>> descriptors;
    // Standard output and error go to these files (truncated) or, when absent, to /dev/null.
    std::optional<std::filesystem::path> stdoutFile;
    std::optional<std::filesystem::path> stderrFile;
};

// A child process in a process group of its own. The destructor ends the
// whole group (SIGTERM, then SIGKILL after a grace period) and reaps the
// child, so no test leaves a server, a window manager or a zombie behind.
class ChildProcess {
public:
    // Throws std::runtime_error when the process cannot be started (fork,
    // or exec failing, which the child reports back through a pipe).
    explicit ChildProcess(const SpawnOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // A descriptor that becomes readable when the process ends (a pidfd).
    int exitDescriptor() const { return pidFd_.get(); }

    // Non-blocking: true until the process has ended.
    bool isRunning();
    // The exit status once the process has ended; absent while it runs.
    std::optional<ExitStatus> status();
    // Blocks on the exit descriptor until the process ends or `timeout` passes.
    std::optional<ExitStatus> waitForExit(std::chrono::milliseconds timeout);

    // Sends `signal` to the whole process group.
    void signalGroup(int signal);
    // Ends the group: SIGTERM, then SIGKILL when the leader has not ended
    // within `grace`; reaps the leader. Idempotent.
    ExitStatus terminate(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

private:
    bool reap(int flags);

    pid_t pid_ = -1;
    UniqueFd pidFd_;
    std::optional<ExitStatus> status_;
    // Set once terminate() has swept the group: its id may be reused after that.
    bool groupEnded_ = false;
};

// What a program run to completion produced.
struct CommandResult {
    std::optional<ExitStatus> status;  // absent when it did not end in time (then it was killed)
    std::string out;
    std::string err;
};

// Runs a program to its end, its output captured in files under `scratch`
// (a pipe could fill up and stall it). Throws when it cannot be started.
CommandResult runToCompletion(SpawnOptions options, const std::filesystem::path& scratch,
                              std::chrono::milliseconds timeout);

}  // namespace corvane::xharness
