#include "ports/compositor/compositor_port.hpp"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTimer>
#include <cstdio>

#include "ports/compositor/compositor_accessibility.hpp"
#include "ports/compositor/compositor_hot_keys.hpp"
#include "ports/compositor/compositor_service.hpp"
#include "ports/compositor/compositor_session.hpp"
#include "ports/compositor/compositor_window_server.hpp"
#include "ports/compositor/compositor_workspace.hpp"
#include "ports/x11/layout_keyboard_map.hpp"

namespace corvane::compositor {

namespace {

// The compositor's own error sound; the log is standard error.
class CompositorFeedback final : public SystemFeedback {
public:
    explicit CompositorFeedback(CompositorSession& session) : session_(session) {}
    void beep() override { session_.write(Operation::beep()); }
    void log(std::string_view message) override {
        std::string line = "corvane: ";
        line.append(message);
        line.push_back('\n');
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }

private:
    CompositorSession& session_;
};

// The compositor manages windows itself; it gives our own windows focus
// when they open. What it lacks until our plugin has attached is the plugin
// (GNOME loads a newly installed extension only at the next log-in).
class CompositorWindowManager final : public WindowManager {
public:
    CompositorWindowManager(std::string name, std::string absentPlugin, const CompositorSession& session)
        : name_(std::move(name)), absentPlugin_(std::move(absentPlugin)), session_(session) {}
    Facts facts() override {
        if (session_.isAttached()) return Facts{name_, {}, {}};
        return Facts{name_, {absentPlugin_}, {}};
    }
    void present(std::uint64_t) override {}

private:
    std::string name_;
    std::string absentPlugin_;
    const CompositorSession& session_;
};

std::string shellName(const std::string& plugin) {
    if (plugin == "gnome") return "GNOME Shell";
    if (plugin == "kwin") return "KWin";
    return plugin;
}

}  // namespace

struct CompositorPort::Services {
    Services(Plugin p, std::unique_ptr<PluginChannel> channel, Namer namer,
             std::unique_ptr<KeyboardMap> keyboard)
        : plugin(std::move(p)),
          channel(channel.get()),
          session(std::move(channel)),
          accessibility(session),
          workspace(session),
          screens(session),
          windowServer(session, plugin.names),
          hotKeys(plugin.syntax, std::move(namer)),
          feedback(session),
          keyboardMap(keyboard ? std::move(keyboard)
                               : std::make_unique<x11::LayoutKeyboardMap>(std::nullopt)),
          windowManager(shellName(plugin.name), plugin.absentPlugin, session) {}

    Plugin plugin;
    PluginChannel* channel;  // owned by the session
    CompositorSession session;
    CompositorAccessibility accessibility;
    CompositorWorkspace workspace;
    CompositorScreens screens;
    CompositorWindowServer windowServer;
    CompositorDesktopGesture desktopGesture;
    CompositorHotKeys hotKeys;
    CompositorFeedback feedback;
    std::unique_ptr<KeyboardMap> keyboardMap;
    CompositorWindowManager windowManager;
    FetchEndpoint* fetchEndpoint = nullptr;
    std::unique_ptr<CompositorService> service;
    bool rebindQueued = false;
};

CompositorPort::CompositorPort(Plugin plugin, std::unique_ptr<PluginChannel> channel, Namer namer,
                               std::unique_ptr<KeyboardMap> keyboard)
    : services_(std::make_unique<Services>(std::move(plugin), std::move(channel), std::move(namer),
                                           std::move(keyboard))) {
    services_->hotKeys.onBindingsChanged([this] { bindingsChanged(); });
}

CompositorPort::~CompositorPort() {
    if (services_->service) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QString::fromLatin1(CompositorService::objectPath));
        bus.unregisterService(QString::fromLatin1(CompositorService::serviceName));
    }
}

std::optional<std::string> CompositorPort::start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return "cannot reach the session bus, through which " + shellName(services_->plugin.name) +
               " talks to Corvane";
    services_->service = std::make_unique<CompositorService>(*this);
    if (!bus.registerObject(QString::fromLatin1(CompositorService::objectPath), services_->service.get(),
                            QDBusConnection::ExportAllSlots))
        return "cannot serve " + std::string(CompositorService::objectPath) + " on the session bus";
    // Another Corvane of this session would hold the name; the instance
    // lock rules that out, so a refusal is someone else's program.
    const auto reply = bus.interface()->registerService(QString::fromLatin1(CompositorService::serviceName),
                                                        QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return std::string("another program holds the bus name ") + CompositorService::serviceName;
    return services_->channel->start();
}

void CompositorPort::setFetchEndpoint(FetchEndpoint* endpoint) {
    services_->fetchEndpoint = endpoint;
}

const std::string& CompositorPort::backend() const {
    return services_->plugin.name;
}
bool CompositorPort::isAttached() const {
    return services_->session.isAttached();
}
Accessibility& CompositorPort::accessibility() {
    return services_->accessibility;
}
HotKeyService& CompositorPort::hotKeys() {
    return services_->hotKeys;
}
Workspace& CompositorPort::workspace() {
    return services_->workspace;
}
Screens& CompositorPort::screens() {
    return services_->screens;
}
WindowServer& CompositorPort::windowServer() {
    return services_->windowServer;
}
DesktopGesture& CompositorPort::desktopGesture() {
    return services_->desktopGesture;
}
SystemFeedback& CompositorPort::feedback() {
    return services_->feedback;
}
const KeyboardMap& CompositorPort::keyboardMap() {
    return *services_->keyboardMap;
}
WindowManager& CompositorPort::windowManager() {
    return services_->windowManager;
}

std::string CompositorPort::attach(const std::string& text) {
    const auto hello = decodeHello(text);
    if (!hello) {
        services_->feedback.log("a compositor plugin attached with an unreadable hello: " + text);
    } else {
        if (hello->version != protocolVersion)
            services_->feedback.log(
                "the " + hello->plugin + " plugin speaks protocol " + std::to_string(hello->version) +
                ", Corvane " + std::to_string(protocolVersion) + "; log out and in once to load the new one");
        if (!services_->session.isAttached())
            services_->feedback.log("the " + shellName(hello->plugin) + " plugin attached (" + hello->shell +
                                    ")");
    }
    services_->session.setAttached(true);
    return encodeBindings(services_->hotKeys.bindings());
}

void CompositorPort::report(const std::string& text) {
    const auto refused = services_->fetchEndpoint
                             ? services_->fetchEndpoint->settle(services_->hotKeys.bindings(), text)
                             : decodeReport(text);
    if (!refused) {
        services_->feedback.log("unreadable report from the compositor plugin: " + text);
        return;
    }
    services_->hotKeys.refused(*refused);
}

std::string CompositorPort::press(const std::string& name, const std::string& text) {
    auto snapshot = decodeSnapshot(text);
    if (!snapshot) {
        services_->feedback.log("a press of " + name + " came without a readable state; nothing moved");
        return "[]";
    }
    services_->session.beginPress(std::move(*snapshot));
    services_->hotKeys.press(name);
    return encodeOperations(services_->session.endPress());
}

std::string CompositorPort::fetch(const std::string& text) {
    const auto snapshot = decodeSnapshot(text);
    if (!snapshot || !services_->fetchEndpoint) return "[]";
    return encodeOperations(services_->fetchEndpoint->fetch(*snapshot));
}

void CompositorPort::applied(const std::string& text) {
    const auto snapshot = decodeSnapshot(text);
    if (snapshot && services_->fetchEndpoint) services_->fetchEndpoint->applied(*snapshot);
}

// A pass of the application re-registers every shortcut one by one; the
// plugin is told once, after the pass.
void CompositorPort::bindingsChanged() {
    if (services_->rebindQueued || !services_->session.isAttached() || !services_->service) return;
    services_->rebindQueued = true;
    QTimer::singleShot(0, services_->service.get(), [this] {
        services_->rebindQueued = false;
        services_->channel->post({Operation::rebind()});
    });
}

}  // namespace corvane::compositor
