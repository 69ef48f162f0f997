#include "tests/gnome/gnome_session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/unique_fd.hpp"

namespace corvane::gnome::testing {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

const char* const kUuid = "corvane@corvane.github.io";
// A loaded machine renders the shell in software on two shared cores: a call
// into it may wait seconds for its main loop.
constexpr int kCallTimeout = 15000;
// Polls of the shell's state: a state read costs well under a millisecond.
constexpr std::chrono::milliseconds kPollStep{10};
// The start-up overview opens within a few seconds of the shell's start.
constexpr std::chrono::milliseconds kOverviewOpens{15000};

wayland::SessionUser requireUser() {
    std::string whyNot;
    auto user = wayland::SessionUser::forTests(whyNot);
    if (!user) throw std::runtime_error(whyNot);
    return *user;
}

std::optional<Rect> rectOf(const nlohmann::json& value) {
    if (!value.is_array() || value.size() != 4) return std::nullopt;
    return Rect{value[0].get<double>(), value[1].get<double>(), value[2].get<double>(),
                value[3].get<double>()};
}

std::optional<ShellState> parseState(const std::string& text) {
    const auto root = nlohmann::json::parse(text, nullptr, false);
    if (!root.is_object()) return std::nullopt;
    ShellState state;
    if (root.contains("window") && root["window"].is_object())
        state.focused = root["window"].value("id", std::string());
    for (const auto& m : root.value("monitors", nlohmann::json::array())) {
        state.monitors.push_back(rectOf(m["frame"]).value_or(Rect{}));
        state.workAreas.push_back(rectOf(m["workArea"]).value_or(Rect{}));
    }
    for (const auto& w : root.value("windows", nlohmann::json::array()))
        state.windows.push_back(ShellWindow{w.value("id", std::string()), w.value("title", std::string()),
                                            rectOf(w["frame"]).value_or(Rect{}), w.value("desktop", 0),
                                            w.value("monitor", 0)});
    const auto desktops = root.value("desktops", nlohmann::json::object());
    state.desktops = desktops.value("count", 0);
    state.current = desktops.value("current", 0);
    for (const auto& name : root.value("bound", nlohmann::json::array()))
        if (name.is_string()) state.bound.push_back(name.get<std::string>());
    return state;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

const ShellWindow* ShellState::window(const std::string& title) const {
    for (const auto& w : windows)
        if (w.title == title) return &w;
    return nullptr;
}

std::optional<std::string> whyGnomeCannotRun() {
    std::string whyNot;
    if (!wayland::SessionUser::forTests(whyNot)) return whyNot;
    if (::access("/usr/bin/gnome-shell", X_OK) != 0) return std::string("gnome-shell is not installed");
    if (::access("/usr/bin/dbus-daemon", X_OK) != 0) return std::string("dbus-daemon is not installed");
    return std::nullopt;
}

GnomeSession::GnomeSession(GnomeOptions options) : user_(requireUser()), dir_("corvane-gnome") {
    user_.give(dir_.path());
    for (const char* sub : {"home", "config"}) {
        fs::create_directories(dir_.path() / sub);
        user_.give(dir_.path() / sub);
    }
    // Extensions are read when the shell starts: ours must be in place first.
    const fs::path extension = dir_.path() / "home/.local/share/gnome-shell/extensions" / kUuid;
    fs::create_directories(extension.parent_path());
    if (options.withExtension) {
        fs::copy(fs::path(CORVANE_GNOME_EXTENSION_DIR) / "legacy", extension, fs::copy_options::recursive);
        xharness::SpawnOptions compile;
        compile.argv = {"glib-compile-schemas", (extension / "schemas").string()};
        const auto compiled = xharness::runToCompletion(compile, dir_.path(), timeout);
        if (!compiled.status || compiled.status->code != 0)
            throw std::runtime_error("glib-compile-schemas failed: " + compiled.err);
    }
    user_.give(dir_.path() / "home", true);
    windowProgram_ = wayland::reachableCopy(user_, CORVANE_WAYLAND_WINDOW, dir_.path());

    auto busEnvironment = environment();
    busEnvironment.erase("DBUS_SESSION_BUS_ADDRESS");
    systemBus_ = std::make_unique<wayland::PrivateBus>(user_, dir_.path(), "system", busEnvironment);
    sessionBus_ = std::make_unique<wayland::PrivateBus>(user_, dir_.path(), "session", busEnvironment);

    std::string enabled = "[";
    for (const auto& other : options.otherExtensions) enabled += "'" + other + "', ";
    if (options.withExtension) enabled += std::string("'") + kUuid + "'";
    if (enabled.size() > 1 && enabled.back() == ' ') enabled.resize(enabled.size() - 2);
    gsettings({"set", "org.gnome.shell", "enabled-extensions", enabled + "]"});
    if (!options.withExtension)
        gsettings({"set", "org.gnome.shell", "disabled-extensions", std::string("['") + kUuid + "']"});
    gsettings({"set", "org.gnome.mutter", "dynamic-workspaces", options.sessionDefaults ? "true" : "false"});
    gsettings({"set", "org.gnome.mutter", "workspaces-only-on-primary",
               options.sessionDefaults ? "true" : "false"});
    if (!options.sessionDefaults)
        gsettings({"set", "org.gnome.desktop.wm.preferences", "num-workspaces", "4"});
    for (const auto& key : options.freeKeybindings)
        gsettings({"set", "org.gnome.desktop.wm.keybindings", key, "[]"});

    auto env = environment();
    env["DBUS_SYSTEM_BUS_ADDRESS"] = systemBus_->address();
    env.erase("WAYLAND_DISPLAY");
    xharness::SpawnOptions spawn;
    spawn.argv =
        user_.wrap({"gnome-shell", "--headless", "--wayland", "--no-x11", "--wayland-display=wayland-gnome",
                    "--virtual-monitor", "1440x900", "--virtual-monitor", "1280x720"},
                   env, dir_.path());
    spawn.stderrFile = dir_.path() / "shell.log";
    spawn.stdoutFile = dir_.path() / "shell.out";

    bus_ = QDBusConnection::connectToBus(
        QString::fromStdString(sessionBus_->address()),
        QString::fromStdString("corvane-test-" + dir_.path().filename().string()));
    if (!bus_->isConnected()) throw std::runtime_error("cannot reach the test's session bus");
    // A headless shell on a loaded machine now and then never settles after
    // its start (its bus object stays silent): one fresh start is tried
    // before the test gives up.
    for (int attempt = 1;; ++attempt) {
        shell_ = std::make_unique<xharness::ChildProcess>(spawn);
        try {
            if (options.withExtension && !waitFor([](const ShellState&) { return true; }, timeout))
                throw std::runtime_error("GNOME Shell did not load the extension:\n" + log());
            leaveOverview();
            break;
        } catch (const std::runtime_error& failure) {
            if (attempt == 2) throw;
            std::fprintf(stderr, "starting GNOME Shell again: %s\n", failure.what());
            shell_->terminate();
        }
    }

    // Keys go in through mutter's remote desktop; the session lives as long
    // as our connection.
    const QDBusMessage created = bus_->call(
        QDBusMessage::createMethodCall("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                                       "org.gnome.Mutter.RemoteDesktop", "CreateSession"),
        QDBus::Block, kCallTimeout);
    if (created.type() != QDBusMessage::ReplyMessage || created.arguments().isEmpty())
        throw std::runtime_error("no remote desktop session: " + created.errorMessage().toStdString());
    remoteSession_ = created.arguments().constFirst().value<QDBusObjectPath>().path().toStdString();
    const QDBusMessage started =
        bus_->call(QDBusMessage::createMethodCall("org.gnome.Mutter.RemoteDesktop",
                                                  QString::fromStdString(remoteSession_),
                                                  "org.gnome.Mutter.RemoteDesktop.Session", "Start"),
                   QDBus::Block, kCallTimeout);
    if (started.type() != QDBusMessage::ReplyMessage)
        throw std::runtime_error("cannot start the remote desktop session: " +
                                 started.errorMessage().toStdString());
}

GnomeSession::~GnomeSession() {
    clients_.clear();
    if (bus_) QDBusConnection::disconnectFromBus(bus_->name());
    shell_->terminate();
}

// The shell opens the overview once its start-up animation ends, where
// keybindings do not fire and new windows get no focus; it is closed once
// it has opened.
void GnomeSession::leaveOverview() {
    const auto overviewActive = [&]() -> std::optional<bool> {
        QDBusMessage get = QDBusMessage::createMethodCall("org.gnome.Shell", "/org/gnome/Shell",
                                                          "org.freedesktop.DBus.Properties", "Get");
        get << QStringLiteral("org.gnome.Shell") << QStringLiteral("OverviewActive");
        const QDBusMessage reply = bus_->call(get, QDBus::Block, kCallTimeout);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
        return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
    };
    const auto opened = Clock::now() + kOverviewOpens;
    while (overviewActive() != true && Clock::now() < opened) std::this_thread::sleep_for(kPollStep);
    // Asked again while it shows: an overview that opens just after the
    // first request would otherwise stay.
    const auto closed = Clock::now() + timeout;
    while (overviewActive() != false && Clock::now() < closed) {
        QDBusMessage set = QDBusMessage::createMethodCall("org.gnome.Shell", "/org/gnome/Shell",
                                                          "org.freedesktop.DBus.Properties", "Set");
        set << QStringLiteral("org.gnome.Shell") << QStringLiteral("OverviewActive")
            << QVariant::fromValue(QDBusVariant(false));
        bus_->call(set, QDBus::Block, kCallTimeout);
        std::this_thread::sleep_for(10 * kPollStep);
    }
    if (overviewActive() != false) throw std::runtime_error("the shell stays in its overview:\n" + log());
}

std::string GnomeSession::setting(const std::string& schema, const std::string& key) {
    return gsettings({"get", schema, key});
}

std::string GnomeSession::gsettings(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"gsettings"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    xharness::SpawnOptions spawn;
    spawn.argv = asUser(argv);
    const auto result = xharness::runToCompletion(spawn, dir_.path(), timeout);
    if (!result.status || !result.status->exited || result.status->code != 0)
        throw std::runtime_error("gsettings " + arguments[1] + " " + arguments[2] + " failed: " + result.err);
    return result.out;
}

std::map<std::string, std::string> GnomeSession::environment() const {
    return {{"XDG_RUNTIME_DIR", dir_.path().string()},
            {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
            {"HOME", (dir_.path() / "home").string()},
            {"DBUS_SESSION_BUS_ADDRESS", sessionBus_ ? sessionBus_->address() : std::string()},
            {"WAYLAND_DISPLAY", "wayland-gnome"},
            {"XDG_SESSION_TYPE", "wayland"},
            {"XDG_CURRENT_DESKTOP", "GNOME"}};
}

std::vector<std::string> GnomeSession::asUser(const std::vector<std::string>& argv) const {
    return user_.wrap(argv, environment(), dir_.path());
}

std::optional<ShellState> GnomeSession::state() {
    QDBusMessage call = QDBusMessage::createMethodCall("org.gnome.Shell", "/io/github/corvane/Extension",
                                                       "io.github.corvane.Extension1", "Apply");
    call << QStringLiteral("[]");
    const QDBusMessage reply = bus_->call(call, QDBus::Block, kCallTimeout);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    return parseState(reply.arguments().constFirst().toString().toStdString());
}

bool GnomeSession::waitFor(const std::function<bool(const ShellState&)>& done,
                           std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (const auto s = state(); s && done(*s)) return true;
        if (Clock::now() >= deadline || !shell_->isRunning()) return false;
        // The shell tells nobody outside when a client has committed a
        // frame; its state is read again a moment later.
        std::this_thread::sleep_for(pollStep_);
    }
}

std::string GnomeSession::openWindow(const std::string& title, int width, int height) {
    xharness::SpawnOptions spawn;
    spawn.argv = asUser({windowProgram_.string(), title, "io.github.corvane.TestWindow",
                         std::to_string(width), std::to_string(height)});
    spawn.stderrFile = dir_.path() / ("window-" + std::to_string(clients_.size()) + ".log");
    clients_.push_back(std::make_unique<xharness::ChildProcess>(spawn));
    std::string id;
    const bool focused = waitFor([&](const ShellState& s) {
        const ShellWindow* w = s.window(title);
        if (!w || s.focused != w->id) return false;
        id = w->id;
        return true;
    });
    if (!focused) throw std::runtime_error("the window " + title + " did not get focus:\n" + log());
    return id;
}

void GnomeSession::sendKey(unsigned key, bool down) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.gnome.Mutter.RemoteDesktop", QString::fromStdString(remoteSession_),
        "org.gnome.Mutter.RemoteDesktop.Session", "NotifyKeyboardKeycode");
    call << static_cast<uint>(key) << down;
    const QDBusMessage reply = bus_->call(call, QDBus::Block, kCallTimeout);
    if (reply.type() != QDBusMessage::ReplyMessage)
        throw std::runtime_error("the key did not go in: " + reply.errorMessage().toStdString());
}

std::chrono::steady_clock::time_point GnomeSession::hold(const std::vector<unsigned>& keys) {
    Clock::time_point last;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i + 1 == keys.size()) last = Clock::now();
        sendKey(keys[i], true);
    }
    return last;
}

void GnomeSession::release(const std::vector<unsigned>& keys) {
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) sendKey(*it, false);
}

std::chrono::steady_clock::time_point GnomeSession::press(const std::vector<unsigned>& keys) {
    const auto last = hold(keys);
    release(keys);
    return last;
}

std::string GnomeSession::log() const {
    return readText(dir_.path() / "shell.log");
}

GnomeCorvane::GnomeCorvane(GnomeSession& session, const std::string& configText, bool waitForBindings)
    : session_(session) {
    const auto config = session.directory() / "config" / "corvane";
    fs::create_directories(config);
    std::ofstream(config / "tourCompleted") << "true";
    if (!configText.empty()) std::ofstream(config / "config") << configText;
    session.user().give(config, true);
    binary_ = wayland::reachableCopy(session.user(), CORVANE_BINARY, session.directory());

    xharness::SpawnOptions spawn;
    spawn.argv =
        session.asUser({"CORVANE_READY_FD=" + std::to_string(xharness::readyDescriptor), binary_.string()});
    spawn.stderrFile = session.directory() / "corvane.log";
    auto [process, said] = xharness::startAwaitingReady(std::move(spawn), GnomeSession::timeout);
    process_ = std::move(process);
    if (said != "ready\n") throw std::runtime_error("corvane did not become ready:\n" + stderrText());
    // The extension sees our name appear, attaches and binds.
    if (waitForBindings &&
        !session.waitFor([](const ShellState& s) { return !s.bound.empty(); }, GnomeSession::timeout))
        throw std::runtime_error("the extension did not take Corvane's keybindings:\n" + stderrText() +
                                 session.log());
}

GnomeCorvane::~GnomeCorvane() {
    process_->terminate();
}

xharness::CommandResult GnomeCorvane::run(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{binary_.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    xharness::SpawnOptions spawn;
    spawn.argv = session_.asUser(argv);
    return xharness::runToCompletion(spawn, session_.directory(), GnomeSession::timeout);
}

std::string GnomeCorvane::stderrText() const {
    return readText(session_.directory() / "corvane.log");
}

}  // namespace corvane::gnome::testing
