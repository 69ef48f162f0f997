#pragma once

#include "app/platform/window_manager.hpp"
#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// The EWMH window manager as the settings window describes it, and the
// pager-style requests that bring our own window to the user.
class X11WindowManager final : public WindowManager {
public:
    explicit X11WindowManager(Connection& connection);

    // A few round trips: the check window, its name and the supported list.
    Facts facts() override;
    void present(std::uint64_t nativeWindow) override;

private:
    std::optional<xcb_window_t> checkWindow();
    Connection& connection_;
};

}  // namespace corvane::x11
