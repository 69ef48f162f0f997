#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/platform/accessibility.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/hot_key_service.hpp"
#include "app/platform/keyboard_map.hpp"
#include "app/platform/screens.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/platform/window_manager.hpp"
#include "app/platform/window_server.hpp"
#include "app/platform/workspace.hpp"
#include "ports/i3ipc/ipc_session.hpp"

namespace corvane::i3ipc {

class IpcConnection;

// The seam's services through a tiling window manager's IPC socket (sway on
// Wayland, i3 on X11): one connection for reads and commands, a second one
// subscribed to events (binding presses, reloads). No thread of its own: the
// caller watches fileDescriptor() and calls dispatchPending() on the main
// thread when it becomes readable.
class I3IpcPort {
public:
    // Names an action for the command of its binding ("leftHalf").
    using Namer = std::function<std::string(HotKeyID)>;

    // Null when the socket cannot be reached or does not speak the protocol.
    static std::unique_ptr<I3IpcPort> connect(const std::string& socketPath, Namer namer);

    struct Key {
        explicit Key() = default;
    };
    I3IpcPort(Key, std::unique_ptr<IpcConnection> commands, std::unique_ptr<IpcConnection> events,
              Namer namer);
    ~I3IpcPort();
    I3IpcPort(const I3IpcPort&) = delete;
    I3IpcPort& operator=(const I3IpcPort&) = delete;

    // "sway" or "i3", as the window manager names itself.
    const std::string& managerName() const;
    // Whether shortcuts can be bound through the IPC; i3 takes bindings
    // only from its configuration file, so there the X11 key grabs serve.
    bool bindsKeys() const;

    // On i3, which names no processes: the X11 port's workspace, which
    // answers for applications from then on (the frontmost window still
    // comes from the tree). Once, before the services are used.
    void takeApplicationsFrom(Workspace& xClients);

    Accessibility& accessibility();
    HotKeyService& hotKeys();
    Workspace& workspace();
    Screens& screens();
    WindowServer& windowServer();
    DesktopGesture& desktopGesture();
    SystemFeedback& feedback();
    const KeyboardMap& keyboardMap();
    WindowManager& windowManager();

    // The handling of one burst of events, a key press among them: while it
    // lives, reads are shared (one round trip for each kind) and a frame goes
    // out as one command. A size still held back for a position is sent when
    // it ends. Main thread; on i3 the shell opens one around the X events,
    // which carry the presses there.
    class Press {
    public:
        ~Press();
        Press(const Press&) = delete;
        Press& operator=(const Press&) = delete;

    private:
        friend class I3IpcPort;
        explicit Press(I3IpcPort& port);
        I3IpcPort& port_;
        IpcSession::SharedReads reads_;
    };
    [[nodiscard]] Press press();
    // Requests sent to the window manager over the request connection.
    unsigned requestCount() const;

    int fileDescriptor() const;
    // Main thread. Handles every event already received without waiting.
    // False once a connection to the window manager is lost.
    bool dispatchPending();

private:
    struct Services;
    std::unique_ptr<IpcConnection> events_;
    std::unique_ptr<Services> services_;
};

}  // namespace corvane::i3ipc
