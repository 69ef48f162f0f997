#pragma once

#include "app/platform/workspace.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

// The running applications on i3, where every window is an X client and the
// tree names no processes: the X11 port's workspace answers for
// applications, while the frontmost one is the tree's focused window. A
// press reads the tree anyway, so finding the window costs it no trip to the
// X server. The application carries that X window (and no process id), which
// the X11 workspace takes back to activate it.
class I3XWorkspace final : public Workspace {
public:
    I3XWorkspace(IpcSession& session, Workspace& xClients);

    std::optional<Application> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override {
        return xClients_.runningApplications(bundleIdentifier);
    }
    bool activate(const Application& application) override { return xClients_.activate(application); }
    bool terminate(pid_t pid) override { return xClients_.terminate(pid); }
    bool openURL(std::string_view url) override { return xClients_.openURL(url); }

private:
    IpcSession& session_;
    Workspace& xClients_;
};

}  // namespace corvane::i3ipc
