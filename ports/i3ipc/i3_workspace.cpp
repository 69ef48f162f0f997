#include "ports/i3ipc/i3_workspace.hpp"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <string>

extern char** environ;

namespace corvane::i3ipc {

namespace {

std::string programName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

}  // namespace

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
        if (programName(*w.pid) == bundleIdentifier) pids.push_back(*w.pid);
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
    const std::string target(url);
    const char* argv[] = {"xdg-open", target.c_str(), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace corvane::i3ipc
