#pragma once

#include "app/platform/workspace.hpp"

namespace corvane::macos {

// The shared workspace and its running applications.
class MacWorkspace final : public Workspace {
public:
    MacWorkspace() = default;

    // Every application on the Mac is a process: `window` stays 0.
    std::optional<Application> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(const Application& application) override;
    bool terminate(pid_t pid) override;
    bool openURL(std::string_view url) override;
};

}  // namespace corvane::macos
