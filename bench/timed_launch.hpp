#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "tools/xharness/child_process.hpp"
#include "tools/xharness/temp_dir.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// One start of the app, timed from the fork to the "ready" line on
// CORVANE_READY_FD, which the app writes once its hot keys are registered.
// Every launch gets private, empty XDG directories, so it reads no
// configuration and meets no running instance. Microsecond resolution, for
// the harness's own start timer counts whole milliseconds.
class TimedLaunch {
public:
    // Throws std::runtime_error, with the app's stderr, when it ends or
    // stays silent instead of becoming ready within `timeout`.
    TimedLaunch(const std::filesystem::path& binary, xharness::XServer& server,
                std::chrono::milliseconds timeout);
    // Ends the app (SIGTERM, then SIGKILL) and reaps it.
    ~TimedLaunch();
    TimedLaunch(const TimedLaunch&) = delete;
    TimedLaunch& operator=(const TimedLaunch&) = delete;

    pid_t pid() const { return process_->pid(); }
    // Spawn to "ready", in milliseconds.
    double readyMs() const { return readyMs_; }
    // Ends the app now and returns how it ended.
    xharness::ExitStatus terminate() { return process_->terminate(); }

private:
    std::string stderrText() const;

    xharness::TempDir home_;
    std::unique_ptr<xharness::ChildProcess> process_;
    double readyMs_ = 0;
};

}  // namespace corvane::bench
