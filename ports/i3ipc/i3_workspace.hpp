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

    // The focused window's client, with its container as the window (pid 0
    // when the tree names no process for it).
    std::optional<Application> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(const Application& application) override;
    // Asks the window manager to close each of the application's windows.
    bool terminate(pid_t pid) override;
    bool openURL(std::string_view url) override;

private:
    IpcSession& session_;
};

}  // namespace corvane::i3ipc
