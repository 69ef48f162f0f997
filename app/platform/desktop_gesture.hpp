#pragma once

#include <memory>

#include "core/rect.hpp"

namespace corvane {

// One session of adding desktops to a display, the way the platform lets a
// user do it. A session only asks; counting the result, deciding success and
// switching back are the caller's. Destroying the session cleans up on every
// path (closes whatever it opened, puts the pointer back).
//
// Threads: sessions are used on the desktop queue only.
class DesktopGestureSession {
public:
    virtual ~DesktopGestureSession() = default;

    // Asks for one more desktop on the display with these global top-left
    // bounds. Returns once the request has been made.
    virtual void requestDesktop(const Rect& displayBounds) = 0;
    // Dismisses what the request opened (after the caller has seen, or given
    // up on, the new desktop).
    virtual void dismiss() = 0;

protected:
    DesktopGestureSession() = default;
    DesktopGestureSession(const DesktopGestureSession&) = delete;
    DesktopGestureSession& operator=(const DesktopGestureSession&) = delete;
};

class DesktopGesture {
public:
    virtual ~DesktopGesture() = default;

    // Starts a session, remembering what the clean-up must restore.
    virtual std::unique_ptr<DesktopGestureSession> begin() = 0;

protected:
    DesktopGesture() = default;
    DesktopGesture(const DesktopGesture&) = delete;
    DesktopGesture& operator=(const DesktopGesture&) = delete;
};

}  // namespace corvane
