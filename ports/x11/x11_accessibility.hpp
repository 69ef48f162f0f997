#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include <xcb/xcb.h>

#include "app/platform/accessibility.hpp"
#include "ports/x11/connection.hpp"
#include "ports/x11/server_state.hpp"
#include "ports/x11/window_events.hpp"
#include "ports/x11/window_frame.hpp"

namespace corvane::x11 {

// Window access on an EWMH desktop. An application element is a process id
// and the window that made it frontmost; its "AXFocusedWindow" is the active
// window when the application owns it, else its topmost normal window, and
// nothing when that window is a dock, the desktop, a splash screen or another
// window that is not the user's to move. "AXPosition"/"AXSize" are the
// visible outer frame (decorations included, a client's own invisible shadow
// excluded), relative to the primary monitor's top-left corner.
// "CRVNSizeIncrement" is the resize step of WM_NORMAL_HINTS. There is no
// permission to ask for: trust is always granted.
//
// Threads: main thread and the desktop queue; the frame being written is
// guarded by a mutex that is never held across a request. Destruction watches
// and the frame correction after a restore belong to the main thread.
class X11Accessibility final : public Accessibility {
public:
    X11Accessibility(Connection& connection, ServerState& state, WindowEvents& events);
    ~X11Accessibility() override;

    bool isProcessTrusted() override { return true; }
    void requestTrust() override {}
    Element applicationElement(const Application& application) override;
    AXCopyResult copyAttribute(const Element& element, std::string_view attribute) override;
    AXStatus setAttribute(const Element& element, std::string_view attribute, const AXValue& value) override;
    AXStatus performAction(const Element& element, std::string_view action) override;
    // X requests do not wait for the target application, only for the server.
    void setMessagingTimeout(const Element&, float) override {}
    // Listens for the window's DestroyNotify on the main connection.
    std::unique_ptr<Observation> observeDestruction(const Element& window,
                                                    std::function<void()> destroyed) override;

    // Main thread, from the port's event dispatch: window destructions and
    // the window manager's answer after a restore.
    void handleEvent(const xcb_generic_event_t& event);

    // Main thread, around the handling of a hot-key press: while it lasts, a
    // size written alone waits for the position that follows it, so the
    // window manager gets one request for the whole frame; a size that no
    // position followed goes out when the press ends.
    void beginPress();
    void endPress();

    // How many requests reached the window manager since the start (for
    // benchmarks and tests of the write coalescing).
    unsigned placementRequests() const;

private:
    class Watch;

    std::optional<Rect> outerFrame(xcb_window_t window);
    // The frame as read at the press when it still holds, else read now.
    std::optional<FrameReading> currentReading(xcb_window_t window);
    // The decorations to write a frame with: those read at the press even
    // after a frame was asked for since (a move keeps them), else read now.
    std::optional<FrameReading> readingForWrite(xcb_window_t window);
    std::optional<xcb_window_t> focusedWindow(pid_t pid, xcb_window_t frontmost);
    AXCopyResult sizeIncrement(xcb_window_t window);
    AXStatus writeSize(xcb_window_t window, Size size);
    AXStatus writePosition(xcb_window_t window, Point position);
    // Takes a maximised or full-screen window out of that state. A worker
    // waits for the window manager; the main thread must not, so it reads
    // on with the decorations of the maximised state and corrects the frame
    // once the window manager has answered (see correctAfterRestore).
    FrameReading restore(xcb_window_t window, const FrameReading& reading);
    // Main thread: after a frame was written to a window being restored
    // (correction_), asks the window manager for an answer that comes after
    // both; the frame is checked and written again when it comes.
    void correctAfterRestore();
    void unwatch(std::uint64_t id);

    // The product writes size, position, size. The first size goes out at
    // once; the position then carries the pending size with it, so the window
    // manager gets the whole frame in one request at the destination; the
    // second size, equal to what that request already asked for, is dropped.
    struct PendingWrite {
        xcb_window_t window = XCB_WINDOW_NONE;
        Size size;
        bool frameSent = false;
        bool restoring = false;  // main thread: the window is coming out of a maximised state
        bool sizeSent = true;    // false: held back during a press, not sent yet
        FrameReading reading;    // what a held-back size is written with
    };
    // Sends a size held back during a press.
    void sendHeldSize(const PendingWrite& pending);
    std::optional<PendingWrite> takePending(xcb_window_t window);
    void setPending(std::optional<PendingWrite> pending);

    Connection& connection_;
    ServerState& state_;
    WindowEvents& events_;
    mutable std::mutex mutex_;
    std::optional<PendingWrite> pending_;
    bool holdSizes_ = false;  // main thread only
    unsigned placementRequests_ = 0;

    // Main thread only.
    struct Watcher {
        xcb_window_t window = XCB_WINDOW_NONE;
        std::function<void()> destroyed;
    };
    std::map<std::uint64_t, Watcher> watchers_;
    std::uint64_t nextWatch_ = 1;
    struct Correction {
        xcb_window_t window = XCB_WINDOW_NONE;
        Rect target;           // the visible frame asked for, root coordinates
        FrameReading reading;  // the decorations it was written with
    };
    std::optional<Correction> correction_;
    xcb_window_t probe_ = XCB_WINDOW_NONE;  // where the window manager's answers land
};

}  // namespace corvane::x11
