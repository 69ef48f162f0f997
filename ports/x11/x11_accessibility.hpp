#pragma once

#include <mutex>
#include <optional>

#include <xcb/xcb.h>

#include "app/platform/accessibility.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/window_frame.hpp"

namespace corvane::x11 {

// Window access on an EWMH desktop. An application element is a process id;
// its "AXFocusedWindow" is the active window when the process owns it, else
// its topmost normal window. "AXPosition"/"AXSize" are the outer frame,
// decorations included, relative to the primary monitor's top-left corner.
// There is no permission to ask for: trust is always granted.
//
// Threads: main thread and the desktop queue; the only state, the frame
// being written, is guarded by a mutex that is never held across a request.
class X11Accessibility final : public Accessibility {
public:
    X11Accessibility(Connection& connection, bool randr15);

    bool isProcessTrusted() override { return true; }
    void requestTrust() override {}
    Element applicationElement(pid_t pid) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    // X requests do not wait for the target application, only for the server.
    void setMessagingTimeout(const Element&, float) override {}

    // How many requests reached the window manager since the start (for
    // benchmarks and tests of the write coalescing).
    unsigned placementRequests() const;

private:
    std::optional<Rect> outerFrame(xcb_window_t window);
    AXStatus writeSize(xcb_window_t window, Size size);
    AXStatus writePosition(xcb_window_t window, Point position);
    AXStatus activate(xcb_window_t window);

    // The product writes size, position, size. The first size goes out at
    // once; the position then carries the pending size with it, so the window
    // manager gets the whole frame in one request at the destination; the
    // second size, equal to what that request already asked for, is dropped.
    struct PendingWrite {
        xcb_window_t window = XCB_WINDOW_NONE;
        Size size;
        bool frameSent = false;
    };
    std::optional<PendingWrite> takePending(xcb_window_t window);
    void setPending(std::optional<PendingWrite> pending);

    Connection& connection_;
    bool randr15_;
    mutable std::mutex mutex_;
    std::optional<PendingWrite> pending_;
    unsigned placementRequests_ = 0;
};

}  // namespace corvane::x11
