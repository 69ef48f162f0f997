#include "ports/x11/x11_port.hpp"

#include "ports/x11/connection.hpp"
#include "ports/x11/monitors.hpp"
#include "ports/x11/server_state.hpp"
#include "ports/x11/window_events.hpp"
#include "ports/x11/window_manager_watch.hpp"
#include "ports/x11/x11_accessibility.hpp"
#include "ports/x11/x11_desktop_gesture.hpp"
#include "ports/x11/x11_feedback.hpp"
#include "ports/x11/x11_hot_keys.hpp"
#include "ports/x11/x11_keyboard_map.hpp"
#include "ports/x11/x11_screens.hpp"
#include "ports/x11/x11_window_manager.hpp"
#include "ports/x11/x11_window_server.hpp"
#include "ports/x11/x11_workspace.hpp"

namespace corvane::x11 {

struct X11Port::Services {
    Services(Connection& c, bool randr15)
        : events(c),
          state(c, events, randr15),
          accessibility(c, state, events),
          hotKeys(c),
          workspace(c, state),
          screens(c, state),
          windowServer(c, state),
          desktopGesture(c),
          feedback(c),
          keyboardMap(hotKeys.keyboard()),
          windowManager(c),
          managerWatch(c) {
        hotKeys.setPressHooks(
            [this] {
                if (!placesWindows) return;
                state.beginPress();
                accessibility.beginPress();
            },
            [this] {
                if (!placesWindows) return;
                accessibility.endPress();
                state.endPress();
            });
    }

    // Off when another port places the windows and this one only holds the
    // keys: then a press reads nothing of the window it would have placed.
    bool placesWindows = true;

    // First: the others listen and read through them.
    WindowEvents events;
    ServerState state;
    X11Accessibility accessibility;
    X11HotKeys hotKeys;
    X11Workspace workspace;
    X11Screens screens;
    X11WindowServer windowServer;
    X11DesktopGesture desktopGesture;
    X11Feedback feedback;
    X11KeyboardMap keyboardMap;
    X11WindowManager windowManager;
    WindowManagerWatch managerWatch;
};

std::unique_ptr<X11Port> X11Port::connect(const char* displayName) {
    auto connection = Connection::open(displayName);
    if (!connection) return nullptr;
    return std::make_unique<X11Port>(Key{}, std::move(connection));
}

X11Port::X11Port(Key, std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {
    services_ = std::make_unique<Services>(*connection_, hasRandr15(*connection_));
}

// The services release their grabs over the connection, so they go first.
X11Port::~X11Port() {
    services_.reset();
}

Accessibility& X11Port::accessibility() {
    return services_->accessibility;
}
HotKeyService& X11Port::hotKeys() {
    return services_->hotKeys;
}
Workspace& X11Port::workspace() {
    return services_->workspace;
}
Screens& X11Port::screens() {
    return services_->screens;
}
WindowServer& X11Port::windowServer() {
    return services_->windowServer;
}
DesktopGesture& X11Port::desktopGesture() {
    return services_->desktopGesture;
}
SystemFeedback& X11Port::feedback() {
    return services_->feedback;
}

const KeyboardMap& X11Port::keyboardMap() {
    return services_->keyboardMap;
}

WindowManager& X11Port::windowManager() {
    return services_->windowManager;
}

void X11Port::leaveWindowsToAnotherPort() {
    services_->placesWindows = false;
}

int X11Port::fileDescriptor() const {
    return xcb_get_file_descriptor(connection_->xcb());
}

bool X11Port::dispatchPending() {
    // Keymap notifications come in bursts (a layout switch sends several, a
    // client remapping keys one per key), and a window manager writes its
    // properties one by one: each burst is acted on once, after the queue is
    // drained. Acting talks to the server, which may queue more events
    // meanwhile, so the queue is drained again, a few rounds at most: a
    // client that never stops remapping must not hold the main thread here
    // (the shell drains the port again before its loop sleeps).
    constexpr int kRounds = 4;
    xcb_connection_t* c = connection_->xcb();
    for (int round = 0; round < kRounds; ++round) {
        bool managerChanged = false;
        const auto handle = [&](const xcb_generic_event_t& event) {
            // Errors of unchecked requests arrive here too (response type 0);
            // they have already been turned into absent results where it mattered.
            if (event.response_type == 0) return;
            // What the server state keeps is forgotten before a press that
            // follows the change in the queue is handled.
            services_->state.handleEvent(event);
            if (services_->hotKeys.handleEvent(event)) return;
            services_->accessibility.handleEvent(event);
            if (services_->managerWatch.handleEvent(event)) managerChanged = true;
        };
        while (XPtr<xcb_generic_event_t> event{xcb_poll_for_event(c)}) handle(*event);
        // Looking for a reply may read events off the socket, which would
        // then not wake the loop: those are handled here and now.
        if (services_->placesWindows && services_->state.takeReplies()) {
            while (XPtr<xcb_generic_event_t> event{xcb_poll_for_queued_event(c)}) handle(*event);
        }
        const bool keyboardRead = services_->hotKeys.followKeyboard();
        // A window manager that appears (Corvane started first) or replaces
        // another decides anew which shortcuts can be held.
        if (managerChanged) services_->hotKeys.environmentChanged();
        if (!keyboardRead && !managerChanged) break;
    }
    return connection_->isAlive();
}

}  // namespace corvane::x11
