#pragma once

#include "app/platform/desktop_gesture.hpp"
#include "app/platform/window_server.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

// Workspaces are the desktops: a space is a workspace number. Every output
// lists the same numbers, 1 to 9 and any higher one in use, because sending
// a window to a workspace creates it, so the first nine are always there to
// send to. A window's number is its container id where those fit (sway),
// else its X window (i3 uses addresses as container ids). Named workspaces
// without a number have no space of their own.
class I3WindowServer final : public WindowServer {
public:
    I3WindowServer(IpcSession& session, bool numbersAreXWindows);

    Availability availability() override;
    Names names() override;
    std::optional<std::int32_t> mainConnection() override;
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t connection) override;
    std::optional<PlistValue> copySpacesForWindows(std::int32_t connection, std::int32_t mask,
                                                   const std::vector<std::uint32_t>& windows) override;
    std::optional<std::int32_t> setCurrentSpace(std::int32_t connection, const std::string& displayIdentifier,
                                                std::uint64_t space) override;
    std::optional<WindowNumber> windowNumber(const Element& window) override;
    bool performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) override;

private:
    IpcSession& session_;
    bool numbersAreXWindows_;
};

// The displays' spaces for these outputs and workspaces (pure, for tests).
PlistValue displaySpaces(const std::vector<Output>& outputs, const std::vector<WorkspaceInfo>& workspaces);

// Workspaces come into being when a window is sent to them; there is nothing
// to ask for ahead of time.
class I3DesktopGesture final : public DesktopGesture {
public:
    std::unique_ptr<DesktopGestureSession> begin() override {
        struct Session final : DesktopGestureSession {
            void requestDesktop(const Rect&) override {}
            void dismiss() override {}
        };
        return std::make_unique<Session>();
    }
};

}  // namespace corvane::i3ipc
