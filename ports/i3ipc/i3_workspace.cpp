#include "ports/i3ipc/i3_workspace.hpp"

#include <algorithm>
#include <string>

#include "ports/xdg/open_url.hpp"
#include "ports/xdg/program_name.hpp"

namespace corvane::i3ipc {

I3Workspace::I3Workspace(IpcSession& session) : session_(session) {}

std::optional<Application> I3Workspace::frontmostApplication() {
    const auto tree = session_.tree();
    if (!tree) return std::nullopt;
    const auto focused = tree->focused();
    if (!focused) return std::nullopt;
    return Application{focused->pid.value_or(0), static_cast<std::uint64_t>(focused->id)};
}

std::vector<pid_t> I3Workspace::runningApplications(std::string_view bundleIdentifier) {
    std::vector<pid_t> pids;
    const auto tree = session_.tree();
    if (!tree) return pids;
    for (const auto& w : tree->windows) {
        if (!w.pid || std::find(pids.begin(), pids.end(), *w.pid) != pids.end()) continue;
        if (xdg::programName(*w.pid) == bundleIdentifier) pids.push_back(*w.pid);
    }
    return pids;
}

bool I3Workspace::activate(const Application& application) {
    if (application.pid) return session_.run("[pid=" + std::to_string(application.pid) + "] focus").success;
    if (application.window)
        return session_.run("[con_id=" + std::to_string(application.window) + "] focus").success;
    return false;
}

bool I3Workspace::terminate(pid_t pid) {
    return session_.run("[pid=" + std::to_string(pid) + "] kill").success;
}

bool I3Workspace::openURL(std::string_view url) {
    return xdg::openURL(url);
}

}  // namespace corvane::i3ipc
