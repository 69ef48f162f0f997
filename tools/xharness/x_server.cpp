#include "tools/xharness/x_server.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/xharness/deadline.hpp"
#include "tools/xharness/unique_fd.hpp"

namespace corvane::xharness {

namespace {

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

std::string openboxConfig(int desktops, std::string_view keybindings) {
    std::ostringstream rc;
    rc << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       << "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
       << "  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>\n"
       << "  <placement><policy>Smart</policy></placement>\n"
       << "  <desktops><number>" << desktops << "</number><firstdesk>1</firstdesk>"
       << "<popupTime>0</popupTime></desktops>\n"
       << "  <keyboard>" << keybindings << "</keyboard>\n"
       << "  <mouse></mouse>\n"
       << "</openbox_config>\n";
    return rc.str();
}

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

    std::ofstream(scratch_.path() / "rc.xml") << openboxConfig(options_.desktops);
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

void XServer::startWindowManager(const std::optional<std::filesystem::path>& configFile, bool replace) {
    if (!replace && windowManagerRunning()) throw std::runtime_error("a window manager is already running");
    const std::filesystem::path config =
        configFile.value_or(options_.windowManagerConfig.value_or(scratch_.path() / "rc.xml"));
    // Its start-up command writes a line here; opened before the start, so
    // that the command's open for writing finds a reader.
    const std::filesystem::path fifo =
        scratch_.path() / ("openbox-ready-" + std::to_string(++windowManagerStarts_));
    if (::mkfifo(fifo.c_str(), 0600) != 0) {
        throw std::runtime_error("mkfifo " + fifo.string() + ": " + std::strerror(errno));
    }
    UniqueFd ready(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!ready) throw std::runtime_error("cannot open " + fifo.string() + ": " + std::strerror(errno));

    SpawnOptions spawn;
    spawn.argv = {"openbox",       "--sm-disable", "--config-file",
                  config.string(), "--startup",    "sh -c 'echo ready > \"" + fifo.string() + "\"'"};
    if (replace) spawn.argv.push_back("--replace");
    spawn.environment = clientEnvironment();
    spawn.unsetEnvironment = hostEnvironmentToDrop();
    spawn.stderrFile = scratch_.path() / "openbox.log";
    // The one replaced hands over and ends by itself; whatever is left of it
    // goes when this does.
    const auto previous = std::move(windowManager_);
    const auto started = std::chrono::steady_clock::now();
    windowManager_ = std::make_unique<ChildProcess>(spawn);
    ChildProcess& manager = *windowManager_;
    const bool up = waitForStartupCommand(ready.get(), manager) && windowManagerAnswers(manager);
    std::filesystem::remove(fifo);
    if (!up) {
        windowManager_.reset();
        throw std::runtime_error("openbox did not start with " + config.string() + "\n" +
                                 readFile(scratch_.path() / "openbox.log"));
    }
    startTimes_.windowManager = since(started);
}

bool XServer::waitForStartupCommand(int readyFifo, ChildProcess& manager) {
    Deadline deadline(startTimeout);
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd p[2] = {{.fd = readyFifo, .events = POLLIN, .revents = 0},
                       {.fd = manager.exitDescriptor(), .events = POLLIN, .revents = 0}};
        int r = ::poll(p, 2, deadline.remainingMs());
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0 || (p[1].revents & POLLIN) != 0) return false;
        char buffer[16];
        ssize_t n = ::read(readyFifo, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;  // the command ended without a word
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

bool XServer::windowManagerAnswers(ChildProcess& manager) {
    xcb_connection_t* c = x_->get();
    const xcb_window_t probe = xcb_generate_id(c);
    // Its property change is what wakes the wait below.
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, x_->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    xcb_ewmh_request_frame_extents(x_->ewmh(), 0, probe);
    const bool answered = x_->waitFor(
        [&] { return !manager.isRunning() || (x_->frameExtents(probe) && x_->windowManagerCheck()); },
        startTimeout);
    xcb_destroy_window(c, probe);
    x_->sync();
    return answered && manager.isRunning();
}

void XServer::stopWindowManager() {
    if (!windowManager_) return;
    windowManager_->terminate();
    forgetWindowManager();
}

void XServer::killWindowManager() {
    if (!windowManager_) return;
    windowManager_->signalGroup(SIGKILL);
    windowManager_->waitForExit(startTimeout);
    forgetWindowManager();
}

void XServer::forgetWindowManager() {
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
