#include "ports/compositor/compositor_workspace.hpp"

#include <signal.h>

#include <string>

#include "ports/compositor/compositor_accessibility.hpp"
#include "ports/xdg/open_url.hpp"
#include "ports/xdg/program_name.hpp"

namespace corvane::compositor {

CompositorWorkspace::CompositorWorkspace(CompositorSession& session) : session_(session) {}

std::optional<Application> CompositorWorkspace::frontmostApplication() {
    const auto snapshot = session_.read();
    // Docks, dialogs and the desktop are not windows a user places.
    if (!snapshot || !snapshot->window || !snapshot->window->normal) return std::nullopt;
    return Application{snapshot->window->pid, session_.numberOf(snapshot->window->id)};
}

std::vector<pid_t> CompositorWorkspace::runningApplications(std::string_view bundleIdentifier) {
    // The plugins report processes only for the focused window.
    std::vector<pid_t> pids;
    const auto snapshot = session_.read();
    if (snapshot && snapshot->window && snapshot->window->pid > 0 &&
        xdg::programName(snapshot->window->pid) == bundleIdentifier)
        pids.push_back(snapshot->window->pid);
    return pids;
}

bool CompositorWorkspace::activate(const Application& application) {
    const auto id =
        application.window ? session_.idOf(static_cast<std::uint32_t>(application.window)) : std::nullopt;
    if (!id) return false;
    session_.write(Operation::focusOn(*id));
    return true;
}

bool CompositorWorkspace::terminate(pid_t pid) {
    return pid > 0 && ::kill(pid, SIGTERM) == 0;
}

bool CompositorWorkspace::openURL(std::string_view url) {
    return xdg::openURL(url);
}

std::vector<Screen> screensFrom(const Snapshot& snapshot) {
    std::vector<Screen> result;
    const MonitorInfo* primary = snapshot.primary();
    if (!primary) return result;
    const Point origin = primaryOrigin(snapshot);
    const double primaryHeight = primary->frame.height;
    const auto flip = [&](const Rect& r) {
        return Rect{r.x - origin.x, primaryHeight - (r.y - origin.y) - r.height, r.width, r.height};
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < snapshot.monitors.size(); ++i) {
            const MonitorInfo& m = snapshot.monitors[i];
            if ((&m == primary) != (pass == 0)) continue;
            result.push_back(Screen{flip(m.frame), flip(m.workArea), static_cast<std::uint32_t>(i + 1)});
        }
    }
    return result;
}

std::string displayIdentifier(std::uint32_t displayNumber) {
    return "monitor-" + std::to_string(displayNumber);
}

CompositorScreens::CompositorScreens(CompositorSession& session) : session_(session) {}

std::vector<Screen> CompositorScreens::screens() {
    const auto snapshot = session_.read();
    return snapshot ? screensFrom(*snapshot) : std::vector<Screen>{};
}

std::optional<std::string> CompositorScreens::displayUUID(std::uint32_t displayNumber) {
    const auto snapshot = session_.read();
    if (!snapshot || displayNumber == 0 || displayNumber > snapshot->monitors.size()) return std::nullopt;
    return displayIdentifier(displayNumber);
}

std::optional<Rect> CompositorScreens::displayBounds(std::uint32_t displayNumber) {
    const auto snapshot = session_.read();
    if (!snapshot || displayNumber == 0 || displayNumber > snapshot->monitors.size()) return std::nullopt;
    const Rect& r = snapshot->monitors[displayNumber - 1].frame;
    const Point origin = primaryOrigin(*snapshot);
    return Rect{r.x - origin.x, r.y - origin.y, r.width, r.height};
}

}  // namespace corvane::compositor
