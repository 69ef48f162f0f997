#include "ports/i3ipc/i3_x_workspace.hpp"

namespace corvane::i3ipc {

I3XWorkspace::I3XWorkspace(IpcSession& session, Workspace& xClients)
    : session_(session), xClients_(xClients) {}

std::optional<Application> I3XWorkspace::frontmostApplication() {
    const auto tree = session_.tree();
    // Without the tree the X server still knows.
    if (!tree) return xClients_.frontmostApplication();
    const auto focused = tree->focused();
    if (!focused) return std::nullopt;
    if (!focused->xWindow) return xClients_.frontmostApplication();
    return Application{focused->pid.value_or(0), *focused->xWindow};
}

}  // namespace corvane::i3ipc
