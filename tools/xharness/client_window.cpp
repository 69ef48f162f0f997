#include "tools/xharness/client_window.hpp"

#include <chrono>

#include <signal.h>

#include <algorithm>
#include <stdexcept>

namespace corvane::xharness {

#ifndef CORVANE_TEST_WINDOW_PATH
#error "CORVANE_TEST_WINDOW_PATH must name the corvane-test-window executable"
#endif

std::unique_ptr<ClientWindow> ClientWindow::open(XServer& server, const std::string& title, int width,
                                                 int height) {
    return open(server, title, width, height, {});
}

std::unique_ptr<ClientWindow> ClientWindow::open(XServer& server, const std::string& title, int width,
                                                 int height, const std::vector<std::string>& options) {
    SpawnOptions spawn;
    spawn.argv = {CORVANE_TEST_WINDOW_PATH};
    spawn.argv.insert(spawn.argv.end(), options.begin(), options.end());
    spawn.argv.insert(spawn.argv.end(), {title, std::to_string(width), std::to_string(height)});
    spawn.environment = server.clientEnvironment();
    spawn.unsetEnvironment = XServer::hostEnvironmentToDrop();
    return std::unique_ptr<ClientWindow>(new ClientWindow(server, spawn));
}

std::unique_ptr<ClientWindow> ClientWindow::openXterm(XServer& server, const std::string& title) {
    SpawnOptions spawn;
    // -e cat: a child that waits quietly and reads no rc files.
    spawn.argv = {"xterm", "-title", title, "-geometry", "80x24", "-e", "cat"};
    spawn.environment = server.clientEnvironment();
    spawn.unsetEnvironment = XServer::hostEnvironmentToDrop();
    return std::unique_ptr<ClientWindow>(new ClientWindow(server, spawn));
}

std::unique_ptr<ClientWindow> ClientWindow::openProgram(XServer& server, const std::vector<std::string>& argv,
                                                        const std::string& wmClass) {
    SpawnOptions spawn;
    spawn.argv = argv;
    spawn.environment = server.clientEnvironment();
    spawn.unsetEnvironment = XServer::hostEnvironmentToDrop();
    return std::unique_ptr<ClientWindow>(new ClientWindow(server, spawn, wmClass));
}

namespace {

// The class part of WM_CLASS ("instance\0Class\0").
std::string windowClass(XConnection& x, xcb_window_t window) {
    auto reply = adoptReply(xcb_get_property_reply(
        x.get(), xcb_get_property(x.get(), 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr));
    if (!reply) return {};
    const std::string value(static_cast<const char*>(xcb_get_property_value(reply.get())),
                            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    const auto split = value.find('\0');
    if (split == std::string::npos) return {};
    return value.substr(split + 1, value.find('\0', split + 1) - split - 1);
}

}  // namespace

ClientWindow::ClientWindow(XServer& server, const SpawnOptions& spawn, const std::string& wmClass)
    : server_(server), process_(std::make_unique<ChildProcess>(spawn)) {
    XConnection& x = server_.x();
    const auto pid = static_cast<std::uint32_t>(process_->pid());
    bool managed = x.waitFor([&] {
        if (!process_->isRunning()) return true;
        // Our own client also names itself where it publishes no pid.
        const xcb_atom_t ownPid = x.atom("_CORVANE_TEST_WINDOW_PID");
        for (xcb_window_t candidate : x.clientList()) {
            if (x.windowPid(candidate) == pid ||
                x.cardinals(candidate, ownPid) == std::vector<std::uint32_t>{pid} ||
                (!wmClass.empty() && windowClass(x, candidate) == wmClass))
                window_ = candidate;
        }
        return window_ != XCB_NONE && x.frameExtents(window_).has_value();
    });
    if (!managed || !process_->isRunning()) {
        throw std::runtime_error("window of " + spawn.argv[0] + " was not managed in time");
    }
    x.watch(window_);
    activate();
}

void ClientWindow::activate() {
    XConnection& x = server_.x();
    // A new window normally gets focus by itself; asking again is harmless.
    // A request that reaches the window manager before it has finished
    // managing the window is dropped, so it is repeated now and then
    // (desktop-type windows are never focused on their own).
    auto asked = std::chrono::steady_clock::now();
    if (x.activeWindow() != window_) x.requestActivation(window_);
    if (!x.waitFor([&] {
            if (x.activeWindow() == window_) return true;
            if (std::chrono::steady_clock::now() - asked > std::chrono::milliseconds(200)) {
                asked = std::chrono::steady_clock::now();
                x.requestActivation(window_);
            }
            return false;
        })) {
        throw std::runtime_error("window did not become active");
    }
}

void ClientWindow::close() {
    process_->signalGroup(SIGKILL);
    process_->waitForExit(XServer::startTimeout);
    // The server hands a new client the ids of a departed one, so the next
    // window may get this one's id. Until the manager has let go of it, its
    // stale entries (client list, frame extents, active window) would make
    // that new window look managed before it is.
    XConnection& x = server_.x();
    if (server_.windowManagerRunning()) {
        x.waitFor([&] {
            auto list = x.clientList();
            return std::find(list.begin(), list.end(), window_) == list.end();
        });
    }
}

}  // namespace corvane::xharness
