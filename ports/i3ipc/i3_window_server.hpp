#pragma once

#include "app/platform/desktop_gesture.hpp"
#include "app/platform/window_server.hpp"

namespace corvane::i3ipc {

// Desktop moves are not offered through the IPC yet: every function reports
// itself missing, so the desktop actions say they are unavailable here
// instead of half-working.
class I3WindowServer final : public WindowServer {
public:
    Availability availability() override { return {true, false, false, false}; }
    Names names() override {
        return Names{"The window manager", "this window manager", "your window manager's configuration"};
    }
    std::optional<std::int32_t> mainConnection() override { return std::nullopt; }
    std::optional<PlistValue> copyManagedDisplaySpaces(std::int32_t) override { return std::nullopt; }
    std::optional<PlistValue> copySpacesForWindows(std::int32_t, std::int32_t,
                                                   const std::vector<std::uint32_t>&) override {
        return std::nullopt;
    }
    std::optional<std::int32_t> setCurrentSpace(std::int32_t, const std::string&, std::uint64_t) override {
        return std::nullopt;
    }
    std::optional<WindowNumber> windowNumber(const Element&) override { return std::nullopt; }
    bool performBridgedMove(const std::vector<std::uint32_t>&, std::uint64_t) override { return false; }
};

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
