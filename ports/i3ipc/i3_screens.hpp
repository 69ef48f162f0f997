#pragma once

#include "app/platform/screens.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

// The outputs in use, primary first. An output's usable area is the
// rectangle of the workspace it shows, which the window manager already
// keeps clear of its bars. Display numbers are positions in the window
// manager's own output order, plus one.
class I3Screens final : public Screens {
public:
    explicit I3Screens(IpcSession& session);

    std::vector<Screen> screens() override;
    std::optional<std::string> displayUUID(std::uint32_t displayNumber) override;
    std::optional<Rect> displayBounds(std::uint32_t displayNumber) override;

private:
    IpcSession& session_;
};

// The screens for these outputs and workspaces (pure, for tests).
std::vector<Screen> screensFrom(const std::vector<Output>& outputs,
                                const std::vector<WorkspaceInfo>& workspaces);

}  // namespace corvane::i3ipc
