#include "app/shell/session_port.hpp"

#include <cstdlib>

#include "app/shell/instance_paths.hpp"
#include "app/shell/session_kind.hpp"
#include "ports/compositor/compositor_port.hpp"
#include "ports/gnome/gnome_channel.hpp"
#include "ports/gnome/gnome_plugin.hpp"
#include "ports/gnome/input_sources.hpp"
#include "ports/i3ipc/i3_socket_path.hpp"
#include "ports/i3ipc/i3ipc_port.hpp"
#include "ports/kwin/kwin_channel.hpp"
#include "ports/kwin/kwin_layout.hpp"
#include "ports/kwin/kwin_plugin.hpp"
#include "ports/x11/layout_keyboard_map.hpp"
#include "ports/x11/x11_port.hpp"

namespace corvane {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::unique_ptr<compositor::CompositorPort> gnomePort(SessionPort::Namer namer) {
    return std::make_unique<compositor::CompositorPort>(
        gnome::extensionPlugin(), std::make_unique<gnome::GnomeChannel>(), std::move(namer),
        std::make_unique<x11::LayoutKeyboardMap>(gnome::userInputSource()));
}

std::unique_ptr<compositor::CompositorPort> kwinPort(SessionPort::Namer namer) {
    auto channel = std::make_unique<kwin::KWinChannel>(InstancePaths::current().directory);
    auto* endpoint = channel.get();
    // Our own windows' keys (the recorder, the tour) are read with the
    // layout Plasma types with.
    const auto layout = kwin::firstLayout(kwin::sessionLayout());
    std::optional<x11::XkbLayout> typing;
    if (!layout.layout.empty()) typing = x11::XkbLayout{layout.layout, layout.variant};
    auto port = std::make_unique<compositor::CompositorPort>(
        kwin::scriptPlugin(), std::move(channel), std::move(namer),
        std::make_unique<x11::LayoutKeyboardMap>(typing));
    port->setFetchEndpoint(endpoint);
    return port;
}

}  // namespace

std::variant<std::unique_ptr<SessionPort>, SessionPort::Failure> SessionPort::open(Namer namer) {
    const auto session = SessionEnvironment::current();
    switch (sessionKind(session)) {
        case SessionKind::sway: {
            auto ipc = i3ipc::I3IpcPort::connect(session.swaySocket, std::move(namer));
            if (!ipc) return Failure{"cannot reach sway at SWAYSOCK=" + session.swaySocket};
            return std::make_unique<SessionPort>(Key{}, nullptr, std::move(ipc));
        }
        case SessionKind::gnome:
            return std::make_unique<SessionPort>(Key{}, gnomePort(std::move(namer)));
        case SessionKind::plasma:
            return std::make_unique<SessionPort>(Key{}, kwinPort(std::move(namer)));
        case SessionKind::otherWayland:
            return Failure{unsupportedSessionMessage(session), unsupportedSessionExitCode};
        case SessionKind::x11:
            break;
    }
    const auto display = environment("DISPLAY");
    if (display.empty()) return Failure{"no X display to run on (DISPLAY is not set)"};
    auto x11 = x11::X11Port::connect(display.c_str());
    if (!x11) return Failure{"cannot connect to the X server at DISPLAY=" + display};
    auto i3 = environment("I3SOCK");
    if (i3.empty()) i3 = i3ipc::i3SocketOnDisplay(display).value_or("");
    if (!i3.empty()) {
        auto ipc = i3ipc::I3IpcPort::connect(i3, std::move(namer));
        if (!ipc) return Failure{"cannot reach i3 at its socket " + i3};
        return std::make_unique<SessionPort>(Key{}, std::move(x11), std::move(ipc));
    }
    return std::make_unique<SessionPort>(Key{}, std::move(x11), nullptr);
}

SessionPort::SessionPort(Key, std::unique_ptr<x11::X11Port> x11, std::unique_ptr<i3ipc::I3IpcPort> ipc)
    : x11_(std::move(x11)), ipc_(std::move(ipc)) {
    if (x11_ && ipc_) {
        ipc_->takeApplicationsFrom(x11_->workspace());
        x11_->leaveWindowsToAnotherPort();
    }
}

SessionPort::SessionPort(Key, std::unique_ptr<compositor::CompositorPort> compositor)
    : compositor_(std::move(compositor)) {}

SessionPort::~SessionPort() = default;

std::optional<SessionPort::Failure> SessionPort::start() {
    if (!compositor_) return std::nullopt;
    if (auto problem = compositor_->start()) return Failure{std::move(*problem)};
    return std::nullopt;
}

std::string SessionPort::backend() const {
    if (compositor_) return compositor_->backend();
    return ipc_ ? ipc_->managerName() : "x11";
}

Accessibility& SessionPort::accessibility() {
    if (compositor_) return compositor_->accessibility();
    return ipc_ ? ipc_->accessibility() : x11_->accessibility();
}
HotKeyService& SessionPort::hotKeys() {
    if (compositor_) return compositor_->hotKeys();
    return ipc_ && ipc_->bindsKeys() ? ipc_->hotKeys() : x11_->hotKeys();
}
Workspace& SessionPort::workspace() {
    if (compositor_) return compositor_->workspace();
    return ipc_ ? ipc_->workspace() : x11_->workspace();
}
Screens& SessionPort::screens() {
    if (compositor_) return compositor_->screens();
    return ipc_ ? ipc_->screens() : x11_->screens();
}
WindowServer& SessionPort::windowServer() {
    if (compositor_) return compositor_->windowServer();
    return ipc_ ? ipc_->windowServer() : x11_->windowServer();
}
DesktopGesture& SessionPort::desktopGesture() {
    if (compositor_) return compositor_->desktopGesture();
    return ipc_ ? ipc_->desktopGesture() : x11_->desktopGesture();
}
SystemFeedback& SessionPort::feedback() {
    if (compositor_) return compositor_->feedback();
    return x11_ ? x11_->feedback() : ipc_->feedback();
}
const KeyboardMap& SessionPort::keyboardMap() {
    if (compositor_) return compositor_->keyboardMap();
    return x11_ ? x11_->keyboardMap() : ipc_->keyboardMap();
}
// On X11 the window manager answers EWMH requests (our own window's
// activation included) whichever way it is reached for the rest.
WindowManager& SessionPort::windowManager() {
    if (compositor_) return compositor_->windowManager();
    return x11_ ? x11_->windowManager() : ipc_->windowManager();
}

std::vector<SessionPort::Watch> SessionPort::watches() {
    std::vector<Watch> list;
    // On i3 the presses come as X events and are carried out through the IPC.
    if (x11_ && ipc_)
        list.push_back({x11_->fileDescriptor(),
                        [this] {
                            const auto press = ipc_->press();
                            return x11_->dispatchPending();
                        },
                        true, "the X server"});
    else if (x11_)
        list.push_back(
            {x11_->fileDescriptor(), [this] { return x11_->dispatchPending(); }, true, "the X server"});
    if (ipc_)
        list.push_back(
            {ipc_->fileDescriptor(), [this] { return ipc_->dispatchPending(); }, false, ipc_->managerName()});
    return list;
}

}  // namespace corvane
