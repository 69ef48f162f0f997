#pragma once

// i3 under a private Xvfb for the end-to-end tests and the benchmark: its
// IPC socket, a request connection and an event connection, and the
// harness's test windows started through it. The user of this header
// defines CORVANE_TEST_WINDOW (the test window's binary).

#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ports/i3ipc/i3_socket_path.hpp"
#include "ports/i3ipc/ipc_connection.hpp"
#include "ports/i3ipc/ipc_replies.hpp"
#include "tools/xharness/child_process.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::i3ipc::testing {

struct I3Options {
    // The app finds i3 the way a program i3 started does; without it, on
    // the root window.
    bool announceInEnvironment = true;
    // RandR monitors, which i3 takes as its outputs; empty: one 1440×900.
    std::vector<xharness::MonitorSpec> monitors;
    // Lines added to i3's configuration (its own key bindings, say).
    std::string extraConfig;
};

// i3 with no key bindings of its own (so the app's combinations are free).
// Its status bar docks at the bottom of each output, so a workspace is its
// output less that strip: the usable area the app places into.
class I3Session {
public:
    explicit I3Session(I3Options options = {})
        : server_(xharness::XServerOptions{1440, 900, options.monitors, false, false, 2, std::nullopt}) {
        socket_ = server_.scratch() / "i3.sock";
        const auto config = server_.scratch() / "i3.conf";
        std::ofstream(config) << "ipc-socket " << socket_.string()
                              << "\ndefault_border none\ndefault_floating_border none\n"
                                 "font pango:monospace 8\nfocus_follows_mouse no\n"
                              << options.extraConfig;
        xharness::SpawnOptions spawn;
        spawn.argv = {"i3", "-c", config.string()};
        spawn.environment = server_.clientEnvironment();
        spawn.unsetEnvironment = xharness::XServer::hostEnvironmentToDrop();
        spawn.stderrFile = server_.scratch() / "i3.log";
        i3_ = std::make_unique<xharness::ChildProcess>(spawn);
        // Ready once it answers on its socket.
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (!ipc_ && Clock::now() < deadline && i3_->isRunning()) {
            ipc_ = IpcConnection::open(socket_.string());
            if (ipc_ && !ipc_->request(MessageType::getVersion, {}, std::chrono::milliseconds(200)))
                ipc_.reset();
            if (!ipc_) i3_->waitForExit(std::chrono::milliseconds(5));
        }
        events_ = IpcConnection::open(socket_.string());
        if (!ipc_ || !events_ || !events_->request(MessageType::subscribe, R"(["window","workspace"])"))
            throw std::runtime_error("i3 did not start");
        // i3 announces its socket on the root window from its event loop,
        // which may come after its first answer.
        if (!server_.x().waitFor([&] { return i3SocketOnDisplay(server_.display()) == socket_.string(); }))
            throw std::runtime_error("i3 did not announce its socket on the root window");
        if (options.announceInEnvironment) ::setenv("I3SOCK", socket_.c_str(), 1);
    }
    ~I3Session() {
        ::unsetenv("I3SOCK");
        ipc_.reset();
        events_.reset();
        i3_->terminate();
    }

    xharness::XServer& server() { return server_; }

    std::optional<Tree> tree() {
        const auto reply = ipc_->request(MessageType::getTree, {});
        return reply ? parseTree(*reply) : std::nullopt;
    }
    std::optional<std::string> request(std::uint32_t type) { return ipc_->request(type, {}); }
    bool run(const std::string& command) {
        const auto reply = ipc_->request(MessageType::runCommand, command);
        return reply && parseCommandReply(*reply).success;
    }
    // Waits on i3's window and workspace events, reading the tree after each.
    // i3 sends no event for a floating window's new size or position, so
    // the tree is read again at least every `recheck`.
    bool waitFor(const std::function<bool(const Tree&)>& done,
                 std::chrono::milliseconds recheck = std::chrono::milliseconds(100)) {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        for (;;) {
            if (const auto t = tree(); t && done(*t)) return true;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            pollfd p{events_->fileDescriptor(), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), recheck.count())));
            bool alive = true;
            events_->readEvents(alive);
            if (!alive) return false;
        }
    }
    std::int64_t openWindow() {
        const auto before = tree();
        const std::size_t count = before ? before->windows.size() : 0;
        // The harness's own test window: xterm asks for sizes in whole
        // character cells, which i3 honours for floating windows.
        if (!run(std::string("exec ") + CORVANE_TEST_WINDOW + " i3-test 640 480"))
            throw std::runtime_error("cannot start a window");
        std::int64_t id = 0;
        if (!waitFor([&](const Tree& t) {
                const auto f = t.focused();
                if (t.windows.size() <= count || !f) return false;
                id = f->id;
                return true;
            }))
            throw std::runtime_error("the window did not appear");
        return id;
    }

private:
    xharness::XServer server_;
    std::filesystem::path socket_;
    std::unique_ptr<xharness::ChildProcess> i3_;
    std::unique_ptr<IpcConnection> ipc_;
    std::unique_ptr<IpcConnection> events_;
};

}  // namespace corvane::i3ipc::testing
