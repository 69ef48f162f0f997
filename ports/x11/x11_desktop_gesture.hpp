#pragma once

#include <memory>

#include "app/platform/desktop_gesture.hpp"
#include "ports/x11/connection.hpp"

namespace corvane::x11 {

// Adding a desktop is a request to the EWMH window manager for one more
// desktop (_NET_NUMBER_OF_DESKTOPS = n + 1). Desktops are shared by all
// monitors, so the display's bounds do not matter; nothing is opened, so
// there is nothing to dismiss or clean up.
class X11DesktopGesture final : public DesktopGesture {
public:
    explicit X11DesktopGesture(Connection& connection);
    std::unique_ptr<DesktopGestureSession> begin() override;

private:
    Connection& connection_;
};

}  // namespace corvane::x11
