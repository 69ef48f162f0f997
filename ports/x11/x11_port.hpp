#pragma once

#include <memory>

#include "app/platform/accessibility.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/hot_key_service.hpp"
#include "app/platform/keyboard_map.hpp"
#include "app/platform/screens.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/platform/window_manager.hpp"
#include "app/platform/window_server.hpp"
#include "app/platform/workspace.hpp"

namespace corvane::x11 {

class Connection;
class X11Accessibility;
class X11HotKeys;
class X11Workspace;
class X11Screens;
class X11WindowServer;
class X11DesktopGesture;
class X11Feedback;
class X11KeyboardMap;
class X11WindowManager;

// The seam's services on an X11 display with an EWMH window manager, over
// one xcb connection of the port's own. The port has no thread and never
// polls: the caller watches fileDescriptor() and calls dispatchPending() on
// the main thread when it becomes readable.
class X11Port {
public:
    // Null when the display cannot be opened (no server, no $DISPLAY).
    static std::unique_ptr<X11Port> connect(const char* displayName = nullptr);

    class Key {
        friend class X11Port;
        explicit Key() = default;
    };
    // Use connect().
    X11Port(Key, std::unique_ptr<Connection> connection);
    ~X11Port();
    X11Port(const X11Port&) = delete;
    X11Port& operator=(const X11Port&) = delete;

    Accessibility& accessibility();
    HotKeyService& hotKeys();
    Workspace& workspace();
    Screens& screens();
    WindowServer& windowServer();
    DesktopGesture& desktopGesture();
    SystemFeedback& feedback();
    // Our own windows' keys in the product's terms (the recorder, the tour).
    const KeyboardMap& keyboardMap();
    // The window manager, as the settings window describes it.
    WindowManager& windowManager();

    // Where another port places the windows and this one holds the keys (i3):
    // a press then reads nothing of the window under it.
    void leaveWindowsToAnotherPort();

    int fileDescriptor() const;
    // Main thread. Handles every event already received (delivering hot-key
    // presses to the press handler) without waiting for more. False once the
    // X connection has failed, for example because the server went away.
    bool dispatchPending();

private:
    struct Services;

    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Services> services_;
};

}  // namespace corvane::x11
