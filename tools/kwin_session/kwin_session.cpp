#include "tools/kwin_session/kwin_session.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/unique_fd.hpp"

namespace corvane::kwinharness {

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kSocket = "wayland-corvane";
constexpr const char* kProbe = "corvane-probe: ";

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::chrono::milliseconds leftUntil(Clock::time_point deadline) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
}

// Waits until `path` exists, on inotify events of its folder.
bool waitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit) {
    const xharness::UniqueFd watch(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    ::inotify_add_watch(watch.get(), path.parent_path().c_str(), IN_CREATE | IN_MOVED_TO);
    const auto deadline = Clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        const auto left = leftUntil(deadline);
        if (left.count() <= 0) return false;
        pollfd p{watch.get(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) > 0) {
            char buffer[4096];
            while (::read(watch.get(), buffer, sizeof buffer) > 0) {
            }
        }
    }
    return true;
}

Rect rectOf(const nlohmann::json& value) {
    if (!value.is_array() || value.size() != 4) return {};
    return Rect{value[0].get<double>(), value[1].get<double>(), value[2].get<double>(),
                value[3].get<double>()};
}

std::optional<KWinState> parseState(const std::string& line) {
    const auto json = nlohmann::json::parse(line, nullptr, false);
    if (!json.is_object()) return std::nullopt;
    KWinState state;
    for (const auto& w : json.value("windows", nlohmann::json::array()))
        state.windows.push_back({w.value("id", ""), w.value("title", ""),
                                 rectOf(w.value("frame", nlohmann::json())), w.value("desktop", 0),
                                 w.value("screen", 0), w.value("active", false)});
    for (const auto& s : json.value("screens", nlohmann::json::array())) state.screens.push_back(rectOf(s));
    state.desktops = json.value("desktops", 1);
    state.currentDesktop = json.value("current", 1);
    return state;
}

std::filesystem::path kwinBinary() {
    for (const char* candidate : {"/usr/bin/kwin_wayland", "/usr/local/bin/kwin_wayland"})
        if (::access(candidate, X_OK) == 0) return candidate;
    return {};
}

}  // namespace

const KWinWindow* KWinState::window(const std::string& title) const {
    for (const auto& w : windows)
        if (w.title == title) return &w;
    return nullptr;
}

const KWinWindow* KWinState::active() const {
    for (const auto& w : windows)
        if (w.active) return &w;
    return nullptr;
}

std::string KWinSession::unavailableReason() {
    if (kwinBinary().empty()) return "KWin is not installed (apt-get install kwin-wayland)";
    for (const char* tool : {"/usr/bin/dbus-daemon", "/usr/bin/gdbus"})
        if (::access(tool, X_OK) != 0) return std::string(tool) + " is missing";
    return {};
}

KWinSession::KWinSession() : KWinSession(Options{}) {}

namespace {

wayland::SessionUser testUser() {
    std::string whyNot;
    auto user = wayland::SessionUser::forTests(whyNot);
    if (!user) throw std::runtime_error(whyNot);
    return *user;
}

}  // namespace

KWinSession::KWinSession(Options options)
    : options_(std::move(options)), dir_("corvane-kwin"), user_(testUser()) {
    give(dir_.path());
    std::filesystem::create_directories(dir_.path() / "bin");
    std::filesystem::create_directories(dir_.path() / "config");
    give(dir_.path() / "bin");
    give(dir_.path() / "config");
    const std::string kwin = reachable(kwinBinary().string());
    injector_ = reachable(CORVANE_KWIN_KEYS);
    windowProgram_ = reachable(CORVANE_WAYLAND_WINDOW);
    for (const auto& [name, text] :
         {std::pair{"kwinrc", options_.kwinrc}, std::pair{"kxkbrc", options_.kxkbrc}}) {
        if (text.empty()) continue;
        std::ofstream(dir_.path() / "config" / name) << text;
        give(dir_.path() / "config" / name);
    }
    bus_ = std::make_unique<wayland::PrivateBus>(
        user_, dir_.path(), "session",
        std::map<std::string, std::string>{{"XDG_RUNTIME_DIR", dir_.path().string()},
                                           {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
                                           {"HOME", dir_.path().string()}});

    xharness::SpawnOptions spawn;
    spawn.argv =
        asUser({"env", "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1", "KWIN_COMPOSE=Q", kwin, "--virtual", "--width",
                std::to_string(options_.width), "--height", std::to_string(options_.height), "--output-count",
                std::to_string(options_.outputs), "--socket", kSocket, "--no-lockscreen"});
    spawn.stderrFile = dir_.path() / "kwin.log";
    kwin_ = std::make_unique<xharness::ChildProcess>(spawn);
    // KWin is ready for scripts once its name is on the bus.
    xharness::SpawnOptions wait;
    wait.argv = asUser({"gdbus", "wait", "--session", "--timeout", "15", "org.kde.KWin"});
    const auto waited = xharness::runToCompletion(wait, dir_.path(), timeout);
    if (!waited.status || !waited.status->exited || waited.status->code != 0 || !kwin_->isRunning())
        throw std::runtime_error("KWin did not start:\n" + log());
    startWatcher();
}

KWinSession::~KWinSession() {
    if (kwin_) kwin_->terminate();
    bus_.reset();
}

void KWinSession::give(const std::filesystem::path& path) const {
    user_.give(path);
}

std::string KWinSession::reachable(const std::string& program) {
    // Everything runs from copies in the session's own folder: a build under
    // a private home is out of the user's reach, and KWin's installed
    // binary cannot be exec'd here for its file capability.
    const auto copy = dir_.path() / "bin" / std::filesystem::path(program).filename();
    if (!std::filesystem::exists(copy)) {
        std::filesystem::copy_file(program, copy);
        std::filesystem::permissions(
            copy, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                      std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                      std::filesystem::perms::others_exec);
        give(copy);
    }
    return copy.string();
}

std::map<std::string, std::string> KWinSession::environment() const {
    return {{"XDG_RUNTIME_DIR", dir_.path().string()},
            {"XDG_CONFIG_HOME", (dir_.path() / "config").string()},
            {"HOME", dir_.path().string()},
            {"WAYLAND_DISPLAY", kSocket},
            {"DBUS_SESSION_BUS_ADDRESS", bus_ ? bus_->address() : std::string()},
            {"XDG_SESSION_TYPE", "wayland"},
            {"XDG_CURRENT_DESKTOP", "KDE"}};
}

std::vector<std::string> KWinSession::asUser(std::vector<std::string> argv) const {
    // Only what a Plasma session sets reaches the child: the test's own
    // display and buses stay out.
    return user_.wrap(argv, environment(), dir_.path());
}

std::optional<std::string> KWinSession::call(const std::string& service, const std::string& path,
                                             const std::string& method,
                                             const std::vector<std::string>& args) {
    std::vector<std::string> argv{"gdbus",         "call", "--session", "--dest", service,
                                  "--object-path", path,   "--method",  method};
    argv.insert(argv.end(), args.begin(), args.end());
    xharness::SpawnOptions spawn;
    spawn.argv = asUser(argv);
    const auto result = xharness::runToCompletion(spawn, dir_.path(), timeout);
    if (!result.status || !result.status->exited || result.status->code != 0) return std::nullopt;
    return result.out;
}

void KWinSession::startWatcher() {
    const auto script = dir_.path() / "watcher.js";
    std::filesystem::copy_file(CORVANE_KWIN_WATCHER, script);
    give(script);
    // KWin takes its name on the bus a moment before it serves /Scripting.
    const auto deadline = Clock::now() + timeout;
    while (!call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.loadScript",
                 {script.string(), "corvane-probe"})) {
        if (Clock::now() > deadline || !kwin_->isRunning())
            throw std::runtime_error("cannot load the watcher script:\n" + log());
        waitForFile(dir_.path() / "never", std::chrono::milliseconds(20));
    }
    if (!call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.start"))
        throw std::runtime_error("cannot start the watcher script:\n" + log());
    if (!waitFor([](const KWinState& s) { return !s.screens.empty(); }, timeout))
        throw std::runtime_error("the watcher script printed nothing:\n" + log());
}

std::optional<KWinState> KWinSession::lastState() {
    const std::string text = log();
    const auto at = text.rfind(kProbe);
    if (at == std::string::npos) return std::nullopt;
    const auto start = at + std::string(kProbe).size();
    const auto end = text.find('\n', start);
    if (end == std::string::npos) return std::nullopt;  // still being written
    return parseState(text.substr(start, end - start));
}

KWinState KWinSession::state() {
    call("org.kde.kglobalaccel", "/component/kwin", "org.kde.kglobalaccel.Component.invokeShortcut",
         {"corvane-probe-dump"});
    return lastState().value_or(KWinState{});
}

bool KWinSession::waitFor(const std::function<bool(const KWinState&)>& done,
                          std::chrono::milliseconds limit) {
    // The watcher prints on every change KWin signals; each new line in the
    // log is read again. The poll cap only bounds a change that prints nothing.
    const xharness::UniqueFd watch(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    ::inotify_add_watch(watch.get(), (dir_.path() / "kwin.log").c_str(), IN_MODIFY);
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (const auto s = lastState(); s && done(*s)) return true;
        const auto left = leftUntil(deadline);
        if (left.count() <= 0 || !kwin_->isRunning()) return false;
        pollfd p{watch.get(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 200))) > 0) {
            char buffer[4096];
            while (::read(watch.get(), buffer, sizeof buffer) > 0) {
            }
        }
    }
}

bool KWinSession::waitForShortcutKey(const std::string& name, std::chrono::milliseconds limit, bool keyed) {
    // The registry tells nobody when a key is set: it is asked again every
    // few milliseconds until the deadline.
    const auto deadline = Clock::now() + limit;
    for (;;) {
        const auto reply = call("org.kde.kglobalaccel", "/kglobalaccel", "org.kde.KGlobalAccel.shortcut",
                                {"['kwin', '" + name + "', 'KWin', '" + name + "']"});
        // "([0],)" or "(@ai [],)" while it has none.
        const bool hasKey =
            reply && reply->find("([") != std::string::npos && reply->find("([0]") == std::string::npos;
        if (reply && hasKey == keyed) return true;
        if (Clock::now() > deadline) return false;
        waitForFile(dir_.path() / "never", std::chrono::milliseconds(10));
    }
}

bool KWinSession::waitForShortcutKeyCode(const std::string& name, int qtKey,
                                         std::chrono::milliseconds limit) {
    const std::string wanted = "([" + std::to_string(qtKey) + "]";
    const auto deadline = Clock::now() + limit;
    for (;;) {
        const auto reply = call("org.kde.kglobalaccel", "/kglobalaccel", "org.kde.KGlobalAccel.shortcut",
                                {"['kwin', '" + name + "', 'KWin', '" + name + "']"});
        if (reply && reply->find(wanted) != std::string::npos) return true;
        if (Clock::now() > deadline) return false;
        waitForFile(dir_.path() / "never", std::chrono::milliseconds(10));
    }
}

std::unique_ptr<xharness::ChildProcess> KWinSession::openWindow(const std::string& title) {
    xharness::SpawnOptions spawn;
    spawn.argv = asUser({windowProgram_, title, "io.github.corvane.TestWindow"});
    spawn.stdoutFile = dir_.path() / ("window-" + std::to_string(::getpid()) + "-" + title + ".out");
    auto window = std::make_unique<xharness::ChildProcess>(spawn);
    const bool shown = waitFor([&](const KWinState& s) {
        const auto* active = s.active();
        return active && active->title == title;
    });
    if (!shown) throw std::runtime_error("the window \"" + title + "\" did not become active:\n" + log());
    return window;
}

void KWinSession::press(const std::vector<std::string>& combinations) {
    std::vector<std::string> argv{injector_};
    argv.insert(argv.end(), combinations.begin(), combinations.end());
    xharness::SpawnOptions spawn;
    spawn.argv = asUser(argv);
    const auto result = xharness::runToCompletion(spawn, dir_.path(), timeout);
    if (!result.status || !result.status->exited || result.status->code != 0)
        throw std::runtime_error("the key injector failed: " + result.err);
}

std::string KWinSession::log() const {
    return readAll(dir_.path() / "kwin.log");
}

KWinCorvane::KWinCorvane(KWinSession& session, const std::string& configText, const std::string& keyed)
    : session_(session) {
    const auto config = session.directory() / "config" / "corvane";
    std::filesystem::create_directories(config);
    std::ofstream(config / "tourCompleted") << "true";
    if (!configText.empty()) std::ofstream(config / "config") << configText;
    for (const auto& path : {config, config / "tourCompleted", config / "config"})
        if (std::filesystem::exists(path)) session.give(path);
    binary_ = session.reachable(CORVANE_BINARY);

    xharness::SpawnOptions spawn;
    spawn.argv = session.asUser({"CORVANE_READY_FD=" + std::to_string(xharness::readyDescriptor),
                                 "QT_QPA_PLATFORM=offscreen", binary_});
    spawn.stderrFile = session.directory() / "corvane.log";
    auto [process, said] = xharness::startAwaitingReady(std::move(spawn), KWinSession::timeout);
    process_ = std::move(process);
    if (said != "ready\n") throw std::runtime_error("corvane did not become ready:\n" + stderrText());
    if (!keyed.empty() && !session.waitForShortcutKey(keyed))
        throw std::runtime_error(keyed + " got no key in KWin:\n" + stderrText());
}

KWinCorvane::~KWinCorvane() {
    process_->terminate();
}

std::optional<xharness::ExitStatus> KWinCorvane::terminate() {
    return process_->terminate();
}

xharness::CommandResult KWinCorvane::run(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"QT_QPA_PLATFORM=offscreen", binary_};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    xharness::SpawnOptions spawn;
    spawn.argv = session_.asUser(argv);
    return xharness::runToCompletion(spawn, session_.directory(), KWinSession::timeout);
}

std::string KWinCorvane::stderrText() const {
    return readAll(session_.directory() / "corvane.log");
}

}  // namespace corvane::kwinharness
