#pragma once

#include "app/platform/workspace.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

// The running applications as the window manager's tree lists their
// windows. An application is the process id of a window's client. Programs
// are matched by name through /proc, since the tree carries no identifier
// common to Wayland and X clients.
class I3Workspace final : public Workspace {
public:
    explicit I3Workspace(IpcSession& session);

    std::optional<pid_t> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(pid_t pid) override;
    // Asks the window manager to close each of the application's windows.
    bool terminate(pid_t pid) override;
    bool openURL(std::string_view url) override;

private:
    IpcSession& session_;
};

}  // namespace corvane::i3ipc
