// The app against a world that changes under it: a window that vanishes
// mid-action, a window manager that dies, a server that goes away.

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

using Faults = AppTest;

// One raw connection to the app's instance socket, as a script or a hostile
// local program would open it.
class Connection {
public:
    explicit Connection(const std::filesystem::path& socket)
        : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket.c_str(), sizeof(address.sun_path) - 1);
        connected_ = ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        const timeval patience{5, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    }
    ~Connection() { ::close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool connected() const { return connected_; }
    // Sends `request` and returns everything the app answers before it hangs up.
    std::string exchange(const std::string& request) {
        if (::write(fd_, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
            return "unsent";
        std::string reply;
        char chunk[512];
        for (ssize_t got; (got = ::read(fd_, chunk, sizeof chunk)) > 0;) reply.append(chunk, got);
        return reply;
    }

private:
    int fd_;
    bool connected_ = false;
};

TEST_F(Faults, WindowClosedRightAfterThePressIsNoHarm) {
    allowLogLines();  // the vanished window may be reported
    auto doomed = openWindow("Doomed");
    // Best effort at the race: the window goes while the app handles the press.
    server().keyboard().press("Ctrl+Alt+Super+Left");
    doomed->close();

    auto next = openWindow("Next");
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *next,
                                    Geometry::frame(Placement::rightHalf, primaryVisible(), 0)));
}

TEST_F(Faults, AppKeepsWorkingAcrossAWindowManagerRestart) {
    allowLogLines();  // a press with no window manager may be reported
    auto window = openWindow();
    server().killWindowManager();
    // With no manager at all the press has nobody to ask; the app must cope.
    server().keyboard().press("Ctrl+Alt+Super+Left");
    ASSERT_TRUE(status(app()).has_value()) << "the app answers while no window manager runs";

    server().startWindowManager();
    ASSERT_TRUE(x().waitFor([&] { return x().frameExtents(window->id()).has_value(); }));
    window->activate();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window,
                                    Geometry::frame(Placement::rightHalf, primaryVisible(), 0)));
    server().keyboard().press("Ctrl+Alt+3");
    EXPECT_TRUE(x().waitFor([&] { return window->desktop() == 2U; })) << "desktops work with the new manager";
}

// A thousand connections that say nothing must not cost the app its channel:
// a few are served, the rest are told it is busy, and once they go every
// command works again.
TEST_F(Faults, AFloodOfIdleConnectionsLeavesTheChannelWorking) {
    allowLogLines();  // the app says, once, that it refused some
    const std::filesystem::path socket = app().runtimeDirectory() / "corvane" / "instance";
    std::vector<std::unique_ptr<Connection>> crowd;
    for (int i = 0; i < 1000; ++i) {
        crowd.push_back(std::make_unique<Connection>(socket));
        ASSERT_TRUE(crowd.back()->connected()) << i;
    }

    const xharness::CommandResult busy = app().run({"--status"});
    ASSERT_TRUE(busy.status.has_value());
    EXPECT_TRUE(busy.status->exited && busy.status->code == 1) << xharness::describe(*busy.status);
    EXPECT_EQ("corvane: the running Corvane is busy; try again in a moment\n", busy.err);

    // The clients it took in are still answered when they speak up.
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(0u, crowd[i]->exchange("status\n").rfind("{\"enabled\":true", 0)) << i;
    }
    crowd.clear();
    EXPECT_TRUE(std::filesystem::is_socket(socket));
    ASSERT_TRUE(status(app()).has_value());
}

TEST_F(Faults, ServerGoneEndsTheAppWithOneClearLine) {
    expectExit();
    const std::filesystem::path socket = app().runtimeDirectory() / "corvane" / "instance";
    ASSERT_TRUE(std::filesystem::is_socket(socket));
    const std::size_t before = app().stderrText().size();
    server().stop();

    std::optional<xharness::ExitStatus> ended = app().waitForExit(std::chrono::milliseconds(5000));
    ASSERT_TRUE(ended.has_value()) << "corvane still runs 5 s after its X server went away";
    EXPECT_TRUE(ended->exited) << "corvane died of " << xharness::describe(*ended);

    std::istringstream said(app().stderrText().substr(before));
    std::string line;
    int ownLines = 0;
    std::string all;
    while (std::getline(said, line)) {
        all += line + "\n";
        if (line.rfind("corvane: ", 0) == 0) ++ownLines;
    }
    EXPECT_EQ(ownLines, 1) << "stderr after the server went:\n" << all;
    EXPECT_FALSE(std::filesystem::exists(socket)) << "the next launch must not find a dead instance's socket";
    RecordProperty("stderr", all);
}

}  // namespace
}  // namespace corvane::e2e
