#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/xharness/child_process.hpp"
#include "tools/xharness/temp_dir.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::xharness {

struct CorvaneOptions {
    // Files written under the private XDG_CONFIG_HOME before the start,
    // by path relative to it (e.g. "corvane/config").
    std::map<std::filesystem::path, std::string> configFiles;
    // Marks the guided tour as done unless configFiles says otherwise: a
    // first run opens the tour, which holds every shortcut off until it ends.
    // Off for tests of that first run.
    bool tourCompleted = true;
};

// The real app on a test server, with a private XDG_CONFIG_HOME and
// XDG_RUNTIME_DIR (nothing of the user's is read or written) and
// CORVANE_READY_FD on a pipe. The constructor returns once the app has
// written "ready" (hot keys registered, tray set up, instance socket
// listening); the destructor ends it.
class CorvaneProcess {
public:
    static constexpr std::chrono::milliseconds readyTimeout{20000};
    static constexpr std::chrono::milliseconds commandTimeout{10000};

    // Throws std::runtime_error, with the app's stderr, when it ends or
    // stays silent instead of becoming ready.
    CorvaneProcess(std::filesystem::path binary, XServer& server, CorvaneOptions options = {});
    ~CorvaneProcess();
    CorvaneProcess(const CorvaneProcess&) = delete;
    CorvaneProcess& operator=(const CorvaneProcess&) = delete;

    pid_t pid() const { return process_->pid(); }
    bool isAlive() { return process_->isRunning(); }
    std::optional<ExitStatus> exitStatus() { return process_->status(); }
    // Blocks until the app ends (on its pidfd, not by polling) or the timeout passes.
    std::optional<ExitStatus> waitForExit(std::chrono::milliseconds timeout) {
        return process_->waitForExit(timeout);
    }
    // Asks the app to quit (SIGTERM) and waits for it; after `grace` it is
    // killed (SIGKILL), which the returned status then shows.
    ExitStatus stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000)) {
        return process_->terminate(grace);
    }
    // Everything the app wrote to stderr so far.
    std::string stderrText() const;

    // Runs the binary once more with the same environment (so it reaches
    // this instance) and waits for it to end.
    CommandResult run(const std::vector<std::string>& arguments,
                      std::chrono::milliseconds timeout = commandTimeout) const;

    const std::filesystem::path& configHome() const { return configHome_; }
    // The app's private XDG_RUNTIME_DIR, where its instance socket lives.
    const std::filesystem::path& runtimeDirectory() const { return runtimeDir_; }
    // How long the start took, from spawn to "ready": in whole milliseconds
    // for reports, and in microseconds for launch-time measurements.
    std::chrono::milliseconds startDuration() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(startDuration_);
    }
    std::chrono::microseconds preciseStartDuration() const { return startDuration_; }

private:
    std::map<std::string, std::string> environment() const;

    std::filesystem::path binary_;
    XServer& server_;
    TempDir home_;
    std::filesystem::path configHome_;
    std::filesystem::path runtimeDir_;
    std::unique_ptr<ChildProcess> process_;
    std::chrono::microseconds startDuration_{0};
};

}  // namespace corvane::xharness
