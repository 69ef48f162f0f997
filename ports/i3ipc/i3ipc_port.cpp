#include "ports/i3ipc/i3ipc_port.hpp"

#include <nlohmann/json.hpp>

#include "ports/i3ipc/i3_accessibility.hpp"
#include "ports/i3ipc/i3_feedback.hpp"
#include "ports/i3ipc/i3_screens.hpp"
#include "ports/i3ipc/i3_window_server.hpp"
#include "ports/i3ipc/i3_workspace.hpp"
#include "ports/i3ipc/i3_x_workspace.hpp"
#include "ports/i3ipc/ipc_connection.hpp"
#include "ports/i3ipc/ipc_session.hpp"
#include "ports/i3ipc/sway_hot_keys.hpp"
#include "ports/x11/layout_keyboard_map.hpp"

namespace corvane::i3ipc {

namespace {

// sway answers get_version with "variant": "sway" (and a human-readable
// text starting with its name); i3 with neither.
std::optional<std::string> managerNamed(IpcConnection& connection) {
    const auto reply = connection.request(MessageType::getVersion, {});
    if (!reply) return std::nullopt;
    const auto root = nlohmann::json::parse(*reply, nullptr, false);
    if (!root.is_object()) return std::nullopt;
    const auto variant = root.value("variant", std::string());
    const auto text = root.value("human_readable", std::string());
    if (variant == "sway" || text.rfind("sway", 0) == 0) return std::string("sway");
    return std::string("i3");
}

class I3WindowManager final : public WindowManager {
public:
    explicit I3WindowManager(std::string name) : name_(std::move(name)) {}
    Facts facts() override { return Facts{name_, {}, {}}; }
    // New windows get focus from the window manager itself.
    void present(std::uint64_t) override {}

private:
    std::string name_;
};

}  // namespace

struct I3IpcPort::Services {
    Services(std::unique_ptr<IpcConnection> commands, std::string name, Namer namer)
        : session(std::move(commands)),
          managerName(std::move(name)),
          accessibility(session, managerName == "sway"),
          workspace(session),
          screens(session),
          hotKeys(session, std::move(namer)),
          windowServer(session, managerName != "sway"),
          windowManager(managerName) {}

    IpcSession session;
    std::string managerName;
    I3Accessibility accessibility;
    I3Workspace workspace;
    I3Screens screens;
    SwayHotKeys hotKeys;
    I3WindowServer windowServer;
    I3DesktopGesture desktopGesture;
    I3Feedback feedback;
    // Our own windows' keys on sway: the layout the environment names
    // (XKB_DEFAULT_LAYOUT and its kin), as sway reads it too.
    x11::LayoutKeyboardMap keyboardMap{std::nullopt};
    I3WindowManager windowManager;
    std::unique_ptr<I3XWorkspace> xWorkspace;
};

std::unique_ptr<I3IpcPort> I3IpcPort::connect(const std::string& socketPath, Namer namer) {
    auto commands = IpcConnection::open(socketPath);
    auto events = IpcConnection::open(socketPath);
    if (!commands || !events) return nullptr;
    if (!managerNamed(*commands)) return nullptr;
    const auto subscribed = events->request(MessageType::subscribe, R"(["binding","workspace","shutdown"])");
    if (!subscribed || !parseSubscribeReply(*subscribed)) return nullptr;
    return std::make_unique<I3IpcPort>(Key{}, std::move(commands), std::move(events), std::move(namer));
}

I3IpcPort::I3IpcPort(Key, std::unique_ptr<IpcConnection> commands, std::unique_ptr<IpcConnection> events,
                     Namer namer)
    : events_(std::move(events)) {
    auto name = managerNamed(*commands).value_or("i3");
    services_ = std::make_unique<Services>(std::move(commands), std::move(name), std::move(namer));
}

// The bindings are removed over the request connection, so the services go first.
I3IpcPort::~I3IpcPort() {
    services_.reset();
}

const std::string& I3IpcPort::managerName() const {
    return services_->managerName;
}
bool I3IpcPort::bindsKeys() const {
    return services_->managerName == "sway";
}
Accessibility& I3IpcPort::accessibility() {
    return services_->accessibility;
}
HotKeyService& I3IpcPort::hotKeys() {
    return services_->hotKeys;
}
void I3IpcPort::takeApplicationsFrom(Workspace& xClients) {
    services_->xWorkspace = std::make_unique<I3XWorkspace>(services_->session, xClients);
}
Workspace& I3IpcPort::workspace() {
    if (services_->xWorkspace) return *services_->xWorkspace;
    return services_->workspace;
}
Screens& I3IpcPort::screens() {
    return services_->screens;
}
WindowServer& I3IpcPort::windowServer() {
    return services_->windowServer;
}
DesktopGesture& I3IpcPort::desktopGesture() {
    return services_->desktopGesture;
}
SystemFeedback& I3IpcPort::feedback() {
    return services_->feedback;
}
const KeyboardMap& I3IpcPort::keyboardMap() {
    return services_->keyboardMap;
}
WindowManager& I3IpcPort::windowManager() {
    return services_->windowManager;
}

I3IpcPort::Press::Press(I3IpcPort& port) : port_(port), reads_(port.services_->session) {}

I3IpcPort::Press::~Press() {
    port_.services_->accessibility.flushPending();
}

I3IpcPort::Press I3IpcPort::press() {
    return Press(*this);
}

unsigned I3IpcPort::requestCount() const {
    return services_->session.requestCount();
}

int I3IpcPort::fileDescriptor() const {
    return events_->fileDescriptor();
}

bool I3IpcPort::dispatchPending() {
    bool alive = true;
    bool reloaded = false;
    const auto scope = press();
    for (const Frame& event : events_->readEvents(alive)) {
        if (event.eventType() == EventType::binding) {
            if (const auto command = parseBindingCommand(event.payload))
                services_->hotKeys.handleBinding(*command);
        } else if (event.eventType() == EventType::workspace) {
            if (parseWorkspaceChange(event.payload) == "reload") reloaded = true;
        } else if (event.eventType() == EventType::shutdown) {
            alive = false;
        }
    }
    // Several reloads in one burst need our bindings added once.
    if (reloaded && bindsKeys()) services_->hotKeys.reloaded();
    return alive && services_->session.isAlive();
}

}  // namespace corvane::i3ipc
