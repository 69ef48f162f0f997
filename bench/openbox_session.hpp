#pragma once

#include <filesystem>
#include <memory>

#include "tools/xharness/child_process.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// openbox on a harness server, started with a configuration file of ours
// (`openbox --config-file PATH`) instead of the harness's binding-free one.
// The server must have been made without a window manager.
class OpenboxSession {
public:
    // Returns once openbox has announced itself on the root window
    // (_NET_SUPPORTING_WM_CHECK), so the key bindings are grabbed. Throws
    // std::runtime_error, with openbox's log, when it does not.
    OpenboxSession(xharness::XServer& server, const std::filesystem::path& configFile);
    // Ends openbox (SIGTERM, so it hands its windows back) and waits until
    // its check window is gone, so the next manager can start at once.
    ~OpenboxSession();
    OpenboxSession(const OpenboxSession&) = delete;
    OpenboxSession& operator=(const OpenboxSession&) = delete;

    pid_t pid() const { return process_->pid(); }

private:
    xharness::XServer& server_;
    std::filesystem::path log_;
    std::unique_ptr<xharness::ChildProcess> process_;
};

}  // namespace corvane::bench
