#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/platform/accessibility.hpp"
#include "app/platform/desktop_gesture.hpp"
#include "app/platform/hot_key_service.hpp"
#include "app/platform/keyboard_map.hpp"
#include "app/platform/screens.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/platform/window_manager.hpp"
#include "app/platform/window_server.hpp"
#include "app/platform/workspace.hpp"

namespace corvane {

namespace x11 {
class X11Port;
}
namespace i3ipc {
class I3IpcPort;
}
namespace compositor {
class CompositorPort;
}

// The port this session runs on, chosen once at start (session_kind.hpp): a
// compositor plugin of ours in a GNOME Wayland session; a tiling window
// manager's IPC where its socket is announced (sway sets SWAYSOCK; i3 sets
// I3SOCK and the root window's I3_SOCKET_PATH); plain X11 last, because a Wayland session sets DISPLAY too
// and X11 grabs there only see keys typed into X windows. On i3 the X11 port keeps the key grabs (i3 takes
// bindings only from its configuration file) and the IPC does everything else.
class SessionPort {
public:
    // What opening failed on, for the user, and the exit status that says so.
    struct Failure {
        std::string message;
        int exitCode = 1;
    };
    using Namer = std::function<std::string(HotKeyID)>;
    static std::variant<std::unique_ptr<SessionPort>, Failure> open(Namer namer);

    struct Key {
        explicit Key() = default;
    };
    SessionPort(Key, std::unique_ptr<x11::X11Port> x11, std::unique_ptr<i3ipc::I3IpcPort> ipc);
    SessionPort(Key, std::unique_ptr<compositor::CompositorPort> compositor);
    ~SessionPort();
    SessionPort(const SessionPort&) = delete;
    SessionPort& operator=(const SessionPort&) = delete;

    // Starts serving a compositor plugin, once the toolkit's application
    // exists (its bus connection needs it). Absent on success.
    std::optional<Failure> start();
    // The compositor's port; null in other sessions.
    compositor::CompositorPort* compositorPort() { return compositor_.get(); }

    // What `--status` reports: "gnome", "sway", "i3" or "x11".
    std::string backend() const;
    Accessibility& accessibility();
    HotKeyService& hotKeys();
    Workspace& workspace();
    Screens& screens();
    WindowServer& windowServer();
    DesktopGesture& desktopGesture();
    SystemFeedback& feedback();
    const KeyboardMap& keyboardMap();
    WindowManager& windowManager();

    // The sockets to watch on the main thread, each with what to call when
    // it becomes readable (false once that connection is lost).
    struct Watch {
        int fileDescriptor;
        std::function<bool()> dispatch;
        bool isXServer;    // its loss is the X server's
        std::string peer;  // the other end, in words ("sway")
    };
    std::vector<Watch> watches();

private:
    std::unique_ptr<x11::X11Port> x11_;
    std::unique_ptr<i3ipc::I3IpcPort> ipc_;
    std::unique_ptr<compositor::CompositorPort> compositor_;
};

}  // namespace corvane
