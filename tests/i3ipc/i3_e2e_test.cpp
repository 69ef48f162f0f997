// The real app on i3 under Xvfb: keys held the X11 way (XTEST presses),
// windows placed and sent through i3's IPC, frames read back from its tree.

#include <gtest/gtest.h>
#include <poll.h>

#include <cstdlib>
#include <fstream>

#include "core/config.hpp"
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
    I3Options options;
    options.announceInEnvironment = false;
    I3Session i3(options);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/tourCompleted", "true"}}});
    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"i3\""), std::string::npos) << status.out;
}

}  // namespace
}  // namespace corvane::i3ipc::testing

namespace corvane::i3ipc::testing {
namespace {

// Presses `chord` and waits until the window floats at exactly `target`.
::testing::AssertionResult pressAndExpect(I3Session& i3, const std::string& chord, std::int64_t id,
                                          const Rect& target) {
    i3.server().keyboard().press(chord);
    Rect got;
    const bool placed = i3.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        if (w) got = w->rect;
        return w && w->floating && w->rect == target;
    });
    if (placed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << chord << ": expected " << target.x << "," << target.y << " " << target.width << "x"
           << target.height << ", got " << got.x << "," << got.y << " " << got.width << "x" << got.height;
}

bool within(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

std::optional<WorkspaceInfo> focusedWorkspace(I3Session& i3) {
    const auto reply = i3.request(MessageType::getWorkspaces);
    if (!reply) return std::nullopt;
    for (const auto& w : parseWorkspaces(*reply))
        if (w.focused) return w;
    return std::nullopt;
}

// The usable area of the workspace shown on `output` (the first one when empty).
Rect areaOf(I3Session& i3, const std::string& output = {}) {
    const auto reply = i3.request(MessageType::getWorkspaces);
    if (reply)
        for (const auto& w : parseWorkspaces(*reply))
            if (w.visible && (output.empty() || w.output == output)) return w.rect;
    return {};
}

TEST(I3EndToEnd, FullScreenThenTheSecondPressRestores) {
    I3Session i3;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto id = i3.openWindow();
    const Rect area = areaOf(i3);
    const Rect quarter = Geometry::frame(Placement::topLeft, area, 0);
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Shift+Left", id, quarter));
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, Geometry::frame(Placement::maximize, area, 0)));
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, quarter)) << "the second press restores";
    // And again: the restored frame is the one before the latest full screen.
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, Geometry::frame(Placement::maximize, area, 0)));
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+M", id, quarter));
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(I3EndToEnd, StoredGapSurroundsTheTiles) {
    I3Session i3;
    Config config = Config::defaults();
    config.gap = 12;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server(), {{{"corvane/config", config.encoded()}}});
    const auto id = i3.openWindow();
    const Rect area = areaOf(i3);
    EXPECT_TRUE(
        pressAndExpect(i3, "Ctrl+Alt+Super+Left", id, Geometry::frame(Placement::leftHalf, area, 12)));
    EXPECT_TRUE(
        pressAndExpect(i3, "Ctrl+Alt+Shift+Right", id, Geometry::frame(Placement::bottomRight, area, 12)));
}

TEST(I3EndToEnd, NextAndPreviousDisplayMoveTheWindowBetweenOutputs) {
    const Rect first{0, 0, 1440, 900};
    const Rect second{1440, 0, 1280, 720};
    I3Options options;
    options.monitors = {{"Main", 0, 0, 1440, 900, true}, {"Side", 1440, 0, 1280, 720, false}};
    I3Session i3(options);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto id = i3.openWindow();
    ASSERT_EQ(i3.tree()->window(id)->output, "Main");

    i3.server().keyboard().press("Ctrl+Alt+Right");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        return w && w->output == "Side" && within(w->rect, second);
    })) << "next display";
    i3.server().keyboard().press("Ctrl+Alt+Left");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto w = t.window(id);
        return w && w->output == "Main" && within(w->rect, first);
    })) << "previous display";
    // Placements on the second output use its own area.
    i3.server().keyboard().press("Ctrl+Alt+Right");
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+Left", id,
                               Geometry::frame(Placement::leftHalf, areaOf(i3, "Side"), 0)));
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(I3EndToEnd, SendToANewWorkspaceLeavesTheUserWhereTheyAre) {
    I3Session i3;
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto other = i3.openWindow();
    const auto sent = i3.openWindow();
    i3.server().keyboard().press("Ctrl+Alt+3");
    EXPECT_TRUE(i3.waitFor([&](const Tree& t) {
        const auto w = t.window(sent);
        const auto focused = t.focused();
        return w && w->workspace == "3" && focused && focused->id == other && focused->workspace == "1";
    })) << "send to 3";
    const auto shown = focusedWorkspace(i3);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->name, "1");
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(I3EndToEnd, AKeyI3ItselfBindsIsReportedAndTheOthersWork) {
    I3Options options;
    options.extraConfig = "bindsym Ctrl+Mod1+Mod4+Left exec true\n";
    I3Session i3(options);
    xharness::CorvaneProcess app(CORVANE_BINARY, i3.server());
    const auto id = i3.openWindow();
    const Rect area = areaOf(i3);
    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"unavailable\":[\"leftHalf\"]"), std::string::npos) << status.out;
    EXPECT_TRUE(
        pressAndExpect(i3, "Ctrl+Alt+Super+Right", id, Geometry::frame(Placement::rightHalf, area, 0)));
    // i3's key keeps doing its own thing, and ours still answer after it.
    i3.server().keyboard().press("Ctrl+Alt+Super+Left");
    EXPECT_TRUE(pressAndExpect(i3, "Ctrl+Alt+Super+Up", id, Geometry::frame(Placement::topHalf, area, 0)));
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

}  // namespace
}  // namespace corvane::i3ipc::testing
