// The real app on i3 under Xvfb: keys held the X11 way (XTEST presses),
// windows placed and sent through i3's IPC, frames read back from its tree.

#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <fstream>

#include "core/geometry.hpp"
#include "ports/i3ipc/i3_socket_path.hpp"
#include "ports/i3ipc/ipc_connection.hpp"
#include "ports/i3ipc/ipc_replies.hpp"
#include "tools/xharness/child_process.hpp"
#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::i3ipc::testing {
namespace {

using Clock = std::chrono::steady_clock;

// i3 with no key bindings of its own (so the app's combinations are free)
// and no bar, so a workspace is its whole output.
class I3Session {
public:
    explicit I3Session(bool announceInEnvironment = true)
        : server_(xharness::XServerOptions{1440, 900, {}, false, false, 2, std::nullopt}) {
        socket_ = server_.scratch() / "i3.sock";
        const auto config = server_.scratch() / "i3.conf";
        std::ofstream(config) << "ipc-socket " << socket_.string()
                              << "\ndefault_border none\ndefault_floating_border none\n"
                                 "font pango:monospace 8\nfocus_follows_mouse no\n";
        xharness::SpawnOptions spawn;
        spawn.argv = {"i3", "-c", config.string()};
        spawn.environment = server_.clientEnvironment();
        spawn.unsetEnvironment = xharness::XServer::hostEnvironmentToDrop();
        spawn.stderrFile = server_.scratch() / "i3.log";
        i3_ = std::make_unique<xharness::ChildProcess>(spawn);
        // Ready once it answers on its socket.
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
        // The app finds i3 the way a program i3 started does; without
        // it, on the root window.
        if (announceInEnvironment) ::setenv("I3SOCK", socket_.c_str(), 1);
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
    bool waitFor(const std::function<bool(const Tree&)>& done) {
        const auto deadline = Clock::now() + std::chrono::seconds(5);
        for (;;) {
            if (const auto t = tree(); t && done(*t)) return true;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            pollfd p{events_->fileDescriptor(), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 100)));
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

TEST(I3EndToEnd, GrabbedKeysPlaceExactlyAndSendToNewWorkspaces) {
    I3Session i3;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/tourCompleted", "true"}}});
    const auto id = i3.openWindow();
    // The usable area is what i3 gives the workspace.
    const auto workspaces = parseWorkspaces(*i3.request(MessageType::getWorkspaces));
    ASSERT_FALSE(workspaces.empty());
    const Rect area = workspaces.front().rect;
    const auto expect = [&](const std::string& chord, Placement placement) {
        i3.server().keyboard().press(chord);
        const Rect target = Geometry::frame(placement, area, 0);
        Rect got;
        const bool placed = i3.waitFor([&](const Tree& t) {
            const auto w = t.window(id);
            if (w) got = w->rect;
            return w && w->floating && w->rect == target;
        });
        if (placed) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << chord << " left the window at " << got.x << "," << got.y
                                             << " " << got.width << "x" << got.height;
    };
    EXPECT_TRUE(expect("Ctrl+Alt+Super+Left", Placement::leftHalf));
    EXPECT_TRUE(expect("Ctrl+Alt+Shift+Right", Placement::bottomRight));
    EXPECT_TRUE(expect("Ctrl+Alt+Super+M", Placement::maximize));

    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"i3\""), std::string::npos) << status.out;

    i3.server().keyboard().press("Ctrl+Alt+Shift+4");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto f = t.focused();
        return f && f->id == id && f->workspace == "4";
    })) << "follow to a workspace that did not exist";
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

}  // namespace
}  // namespace corvane::i3ipc::testing

namespace corvane::i3ipc::testing {
namespace {

TEST(I3EndToEnd, FoundThroughTheRootWindowWhenTheEnvironmentDoesNotSay) {
    I3Session i3(/*announceInEnvironment=*/false);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/tourCompleted", "true"}}});
    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"i3\""), std::string::npos) << status.out;
}

}  // namespace
}  // namespace corvane::i3ipc::testing
