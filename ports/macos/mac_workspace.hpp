#pragma once

#include "app/platform/workspace.hpp"

namespace corvane::macos {

// The shared workspace and its running applications.
class MacWorkspace final : public Workspace {
public:
    MacWorkspace() = default;

    std::optional<pid_t> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(pid_t pid) override;
    bool terminate(pid_t pid) override;
    bool openURL(std::string_view url) override;
};

}  // namespace corvane::macos
