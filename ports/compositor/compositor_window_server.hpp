#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "app/platform/desktop_gesture.hpp"
#include "app/platform/window_server.hpp"
#include "ports/compositor/compositor_session.hpp"

namespace corvane::compositor {

// The compositor's desktops (GNOME's workspaces, KWin's virtual desktops) as
// spaces: space n is desktop n (1-based), listed alike for every monitor,
// because the compositors switch them for all monitors at once. Desktops 1
// to 9 are always listed: sending a window to one that does not exist yet
// creates the missing ones and puts the window there in the same step (so
// GNOME's dynamic workspaces cannot remove them while they are empty).
//
// With dynamic desktops the compositor keeps no empty desktop between
// others: a window sent past the last desktop in use lands on the first new
// one. That desktop then answers to the number the window was sent to as
// well (while no desktop of that number holds windows), so the move, the
// follow and the way back all find it.
class CompositorWindowServer final : public WindowServer {
public:
    CompositorWindowServer(CompositorSession& session, Names names);

    Availability availability() override;
    Names names() override { return names_; }
    std::optional<std::int32_t> mainConnection() override;
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                   const std::vector<std::uint32_t>& windows) override;
    std::optional<std::int32_t> setCurrentSpace(std::int32_t connection, const std::string& displayIdentifier,
                                                std::uint64_t space) override;
    std::optional<WindowNumber> windowNumber(const Element& window) override;
    bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) override;

    // A space number another desktop answers to: the desktop (by the
    // plugin's id) a window sent there landed on.
    struct Alias {
        std::uint64_t space = 0;
        std::string desktop;
    };

private:
    std::vector<Alias> aliases() const;

    CompositorSession& session_;
    Names names_;
    mutable std::mutex mutex_;
    std::vector<Alias> aliases_;
};

// The pure part, for tests: the displays' spaces, the spaces of a window and
// the desktop index a space stands for, given the state and the aliases.
PlistValue displaySpaces(const Snapshot& snapshot, const std::vector<CompositorWindowServer::Alias>& aliases);
std::vector<std::uint64_t> windowSpaces(const Snapshot& snapshot, const std::string& window,
                                        const std::vector<CompositorWindowServer::Alias>& aliases);
std::optional<int> desktopIndex(const Snapshot& snapshot, std::uint64_t space,
                                const std::vector<CompositorWindowServer::Alias>& aliases);

// New desktops come with the move itself; there is nothing to ask for ahead.
class CompositorDesktopGesture final : public DesktopGesture {
public:
    std::unique_ptr<DesktopGestureSession> begin() override {
        struct Session final : DesktopGestureSession {
            void requestDesktop(const Rect&) override {}
            void dismiss() override {}
        };
        return std::make_unique<Session>();
    }
};

}  // namespace corvane::compositor
