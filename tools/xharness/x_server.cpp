#include "tools/xharness/x_server.hpp"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/xharness/deadline.hpp"

namespace corvane::xharness {

namespace {

// Only what the tests need: a number of desktops, and no key bindings, so
// that the manager holds none of the app's shortcuts (its stock
// configuration binds Ctrl+Alt+arrows to desktop switching).
std::string windowManagerConfig(int desktops) {
    std::ostringstream rc;
    rc << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       << "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
       << "  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>\n"
       << "  <placement><policy>Smart</policy></placement>\n"
       << "  <desktops><number>" << desktops << "</number><firstdesk>1</firstdesk>"
       << "<popupTime>0</popupTime></desktops>\n"
       << "  <keyboard></keyboard>\n"
       << "  <mouse></mouse>\n"
       << "</openbox_config>\n";
    return rc.str();
}

std::chrono::milliseconds since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

XServer::XServer(XServerOptions options) : options_(std::move(options)), scratch_("corvane-xserver") {
    Pipe displayPipe = Pipe::make();
    SpawnOptions spawn;
    spawn.argv = {"Xvfb",
                  "-displayfd",
                  "3",
                  "-noreset",
                  "-nolisten",
                  "tcp",
                  "-screen",
                  "0",
                  std::to_string(options_.width) + "x" + std::to_string(options_.height) + "x24"};
    spawn.descriptors = {{3, displayPipe.write.get()}};
    spawn.stderrFile = scratch_.path() / "xvfb.log";
    const auto started = std::chrono::steady_clock::now();
    xvfb_ = std::make_unique<ChildProcess>(spawn);
    displayPipe.write.reset();
    display_ = ":" + readDisplayNumber(displayPipe.read.get(), *xvfb_);
    startTimes_.server = since(started);

    x_ = std::make_unique<XConnection>(display_);
    keyboard_ = std::make_unique<Keyboard>(*x_);
    keyboard_->ensureModifierMapping();
    for (const auto& command : setMonitorCommands(*x_, options_.monitors)) {
        CommandResult result = runClient(command);
        if (!result.status || !result.status->exited || result.status->code != 0) {
            throw std::runtime_error("xrandr --setmonitor failed: " + result.err);
        }
    }

    std::ofstream(scratch_.path() / "rc.xml") << windowManagerConfig(options_.desktops);
    if (options_.windowManager) startWindowManager();
    if (options_.tray) startTray();
}

XServer::~XServer() {
    tray_.reset();
    windowManager_.reset();
    keyboard_.reset();
    x_.reset();
    xvfb_.reset();
}

std::string XServer::readDisplayNumber(int fd, ChildProcess& server) {
    Deadline deadline(startTimeout);
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
        int r = ::poll(&p, 1, deadline.remainingMs());
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) throw std::runtime_error("Xvfb did not report its display in time\n" + serverLog());
        char buffer[32];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            server.waitForExit(std::chrono::milliseconds(1000));
            throw std::runtime_error("Xvfb ended before reporting its display\n" + serverLog());
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

std::string XServer::serverLog() const {
    return readFile(scratch_.path() / "xvfb.log");
}

std::map<std::string, std::string> XServer::clientEnvironment() const {
    return {{"DISPLAY", display_}, {"XDG_CONFIG_HOME", (scratch_.path() / "config").string()}};
}

std::vector<std::string> XServer::hostEnvironmentToDrop() {
    return {"WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM", "XAUTHORITY",
            "SESSION_MANAGER"};
}

void XServer::startWindowManager() {
    std::optional<xcb_window_t> before = x_->windowManagerCheck();
    SpawnOptions spawn;
    spawn.argv = {"openbox", "--config-file", (scratch_.path() / "rc.xml").string()};
    spawn.environment = clientEnvironment();
    spawn.unsetEnvironment = hostEnvironmentToDrop();
    spawn.stderrFile = scratch_.path() / "openbox.log";
    const auto started = std::chrono::steady_clock::now();
    windowManager_ = std::make_unique<ChildProcess>(spawn);
    ChildProcess& manager = *windowManager_;
    bool announced = x_->waitFor(
        [&] {
            std::optional<xcb_window_t> check = x_->windowManagerCheck();
            return !manager.isRunning() || (check && check != before);
        },
        startTimeout);
    if (!announced || !manager.isRunning()) {
        throw std::runtime_error("openbox did not start\n" + readFile(scratch_.path() / "openbox.log"));
    }
    startTimes_.windowManager = since(started);
}

void XServer::killWindowManager() {
    if (!windowManager_) return;
    windowManager_->signalGroup(SIGKILL);
    windowManager_->waitForExit(startTimeout);
    windowManager_.reset();
    // The check window dies with the manager's connection (a DestroyNotify
    // wakes the wait); until then the server may not have noticed the death.
    x_->waitFor([&] { return !x_->windowManagerCheck(); }, startTimeout);
}

bool XServer::windowManagerRunning() {
    return windowManager_ && windowManager_->isRunning();
}

void XServer::startTray() {
    SpawnOptions spawn;
    spawn.argv = {"trayer",   "--edge", "bottom",    "--align", "right",         "--widthtype", "request",
                  "--height", "24",     "--monitor", "primary", "--transparent", "false"};
    spawn.environment = clientEnvironment();
    spawn.unsetEnvironment = hostEnvironmentToDrop();
    spawn.stderrFile = scratch_.path() / "trayer.log";
    const auto started = std::chrono::steady_clock::now();
    tray_ = std::make_unique<ChildProcess>(spawn);
    ChildProcess& tray = *tray_;
    bool owned = x_->waitFor(
        [&] { return !tray.isRunning() || x_->selectionOwner("_NET_SYSTEM_TRAY_S0") != XCB_NONE; },
        startTimeout);
    if (!owned || !tray.isRunning()) {
        throw std::runtime_error("trayer did not take the tray selection\n" +
                                 readFile(scratch_.path() / "trayer.log"));
    }
    startTimes_.tray = since(started);
}

CommandResult XServer::runClient(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    SpawnOptions spawn;
    spawn.argv = argv;
    spawn.environment = clientEnvironment();
    spawn.unsetEnvironment = hostEnvironmentToDrop();
    return runToCompletion(spawn, scratch_.path(), timeout);
}

void XServer::stop() {
    if (xvfb_) xvfb_->terminate();
}

bool XServer::running() {
    return xvfb_ && xvfb_->isRunning();
}

}  // namespace corvane::xharness
