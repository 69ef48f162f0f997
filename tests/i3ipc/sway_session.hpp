#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/i3ipc/ipc_connection.hpp"
#include "ports/i3ipc/ipc_replies.hpp"
#include "tools/xharness/child_process.hpp"
#include "tools/xharness/temp_dir.hpp"

namespace corvane::i3ipc::testing {

// A headless sway of the test's own, with a private runtime and
// configuration directory. sway refuses to run as root, so a root test runs
// it (and everything that talks to it) as an unprivileged user: the one in
// CORVANE_TEST_USER, else "nobody".
class SwaySession {
public:
    static constexpr std::chrono::milliseconds timeout{10000};

    // `extraConfig` is appended to the configuration. Throws when sway does
    // not come up.
    explicit SwaySession(const std::string& extraConfig = {});
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // sway's own session variables, for clients of this session.
    std::map<std::string, std::string> environment() const;
    // argv run as the session's user with its environment.
    std::vector<std::string> asUser(std::vector<std::string> argv) const;
    const std::filesystem::path& directory() const { return dir_.path(); }
    // The user sway runs as; empty when it is this process's own.
    const std::string& user() const { return user_; }
    // The corvane program as the session's user can run it.
    const std::string& corvaneBinary() const { return binary_; }

    CommandOutcome command(const std::string& command);
    // Reloads the configuration and returns once sway has announced the
    // reload to its clients (it reloads after answering the command).
    bool reload();
    std::optional<Tree> tree();
    std::vector<Output> outputs();

    // Opens a terminal (running `cat`: a test user may have no login shell)
    // and returns its container once it has focus.
    std::int64_t openWindow();
    // Types one combination ("ctrl+alt+logo+Left") through the virtual keyboard.
    void press(const std::string& combination);
    // Waits, on the window manager's events, until `done` holds for the tree.
    bool waitFor(const std::function<bool(const Tree&)>& done,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
    std::string log() const;

private:
    bool canRun(const std::string& program) const;

    xharness::TempDir dir_;
    std::string user_;
    std::string binary_ = CORVANE_BINARY;
    std::filesystem::path socket_;
    std::unique_ptr<xharness::ChildProcess> sway_;
    std::unique_ptr<IpcConnection> ipc_;
    std::unique_ptr<IpcConnection> events_;
};

// The real app in a sway session; returns once it said "ready".
class SwayCorvane {
public:
    SwayCorvane(SwaySession& session, const std::string& configText = {});
    ~SwayCorvane();
    xharness::CommandResult run(const std::vector<std::string>& arguments);
    std::string stderrText() const;
    bool isAlive() { return process_->isRunning(); }

private:
    SwaySession& session_;
    std::filesystem::path home_;
    std::unique_ptr<xharness::ChildProcess> process_;
};

}  // namespace corvane::i3ipc::testing
