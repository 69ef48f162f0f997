#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/i3ipc/ipc_connection.hpp"
#include "ports/i3ipc/ipc_replies.hpp"

namespace corvane::i3ipc {

// The window manager as the services ask it: the reads and the commands,
// over one request connection. Any thread.
class IpcSession {
public:
    explicit IpcSession(std::unique_ptr<IpcConnection> connection);

    std::optional<Tree> tree();
    std::vector<Output> outputs();
    std::vector<WorkspaceInfo> workspaces();
    // Runs a command list; a broken connection is a failure with its reason.
    CommandOutcome run(std::string_view command);
    // The configuration text the window manager loaded (sway and i3 both
    // answer with the file as read); empty when it cannot say.
    std::string configText();
    bool isAlive() const { return connection_->isAlive(); }

private:
    std::unique_ptr<IpcConnection> connection_;
};

}  // namespace corvane::i3ipc
