#pragma once

#include "app/platform/screens.hpp"
#include "app/platform/workspace.hpp"
#include "ports/compositor/compositor_session.hpp"

namespace corvane::compositor {

// The frontmost application is the focused window's process; the window
// itself travels with it, so the application is found again even where the
// compositor names no process.
class CompositorWorkspace final : public Workspace {
public:
    explicit CompositorWorkspace(CompositorSession& session);
    std::optional<Application> frontmostApplication() override;
    std::vector<pid_t> runningApplications(std::string_view bundleIdentifier) override;
    bool activate(const Application& application) override;
    bool terminate(pid_t pid) override;
    bool openURL(std::string_view url) override;

private:
    CompositorSession& session_;
};

// Monitors in the seam's spaces: primary first, frames in the bottom-left
// space of the primary, work areas as the compositor reports them.
class CompositorScreens final : public Screens {
public:
    explicit CompositorScreens(CompositorSession& session);
    std::vector<Screen> screens() override;
    std::optional<std::string> displayUUID(std::uint32_t displayNumber) override;
    std::optional<Rect> displayBounds(std::uint32_t displayNumber) override;

private:
    CompositorSession& session_;
};

// The screens of a snapshot (pure, for tests). Display numbers count the
// compositor's monitors from 1.
std::vector<Screen> screensFrom(const Snapshot& snapshot);
// The identifier of a display: stable for the monitor's place in the
// compositor's list, the same in every display report.
std::string displayIdentifier(std::uint32_t displayNumber);

}  // namespace corvane::compositor
