#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/single_instance.hpp"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// Sends raw bytes, as a confused or hostile client might, and reads the
// answer until the server hangs up.
std::string rawExchange(const fs::path& path, const std::string& bytes) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return "no socket";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    std::string reply;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        reply = "no connection";
    } else if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size())) {
        char chunk[512];
        pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
        while (::poll(&p, 1, 5000) > 0) {
            const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
            if (got <= 0) break;
            reply.append(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return reply;
}

// A handler that answers every request at once with what `answer` gives.
template <class Answer>
InstanceServer::Handler answering(Answer answer) {
    return [answer](const InstanceRequest& request, const std::function<void(const InstanceReply&)>& reply) {
        reply(answer(request));
    };
}

// A socket file whose listener has gone, as an instance killed outright leaves it.
void leaveStaleSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(0, ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
    ::close(fd);
}

// A client made of plain system calls on this thread: its connect and its
// request land in the kernel's queue before the server runs, so the order of
// events is fixed.
class RawClient {
public:
    explicit RawClient(const fs::path& path) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        connected_ =
            fd_ >= 0 && ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() { hangUp(); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool connected() const { return connected_; }
    void send(const std::string& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    void hangUp() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // Reads what has arrived without waiting; true once the server hung up.
    bool collect() {
        char chunk[512];
        for (;;) {
            const ssize_t got = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
            if (got > 0) {
                reply.append(chunk, static_cast<std::size_t>(got));
                continue;
            }
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) closed_ = true;
            return closed_;
        }
    }
    bool closed() const { return closed_; }

    std::string reply;

private:
    int fd_;
    bool connected_ = false;
    bool closed_ = false;
};

// Runs the event loop until `done` holds, or fails after a generous while.
template <class Condition>
::testing::AssertionResult serveUntil(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return ::testing::AssertionFailure() << "timed out";
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return ::testing::AssertionSuccess();
}

// The number the next descriptor would get: a limit at it leaves none to spare.
int nextDescriptor() {
    const int probe = ::dup(0);
    ::close(probe);
    return probe;
}

const InstanceReply statusReply{InstanceReply::Kind::status, "{\"enabled\":true,\"unavailable\":[]}"};

class InstanceChannel : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "corvane-channel-test-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Runs `client` on another thread, as a second process would, while
    // this thread serves.
    template <class Client>
    auto fromAnotherThread(Client client) {
        decltype(client()) result{};
        std::atomic<bool> done{false};
        std::thread thread([&] {
            result = client();
            done = true;
        });
        while (!done) {
            QCoreApplication::processEvents();
            std::this_thread::yield();
        }
        thread.join();
        return result;
    }

    std::optional<std::string> ask(InstanceRequest request) {
        return fromAnotherThread([&] { return askRunningInstance(socket(), request); });
    }

    fs::path socket() const { return root_ / "instance"; }
    fs::path root_;
};

TEST_F(InstanceChannel, OneRequestLineOneReplyLine) {
    std::vector<InstanceRequest> seen;
    InstanceServer server(answering([&](const InstanceRequest& request) {
        seen.push_back(request);
        if (request.kind == InstanceRequest::Kind::status) {
            return InstanceReply{InstanceReply::Kind::status, "{\"enabled\":true,\"unavailable\":[]}"};
        }
        return InstanceReply::error("switched off");
    }));
    ASSERT_EQ(std::nullopt, server.listen(socket()));
    EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write,
              fs::status(socket()).permissions() & fs::perms::all);

    EXPECT_EQ("error: switched off\n", ask({InstanceRequest::Kind::show, {}}));
    EXPECT_EQ("{\"enabled\":true,\"unavailable\":[]}\n", ask({InstanceRequest::Kind::status, {}}));
    EXPECT_EQ("error: switched off\n", ask({InstanceRequest::Kind::action, "leftHalf"}));
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ((InstanceRequest{InstanceRequest::Kind::action, "leftHalf"}), seen[2]);

    // Only the first line counts; a line that is no request never reaches
    // the handler, and neither does an endless one.
    EXPECT_EQ("error: switched off\n",
              fromAnotherThread([&] { return rawExchange(socket(), "enable\ndisable\n"); }));
    EXPECT_EQ("error: request not understood\n",
              fromAnotherThread([&] { return rawExchange(socket(), "hello\n"); }));
    EXPECT_EQ("error: request not understood\n", fromAnotherThread([&] {
                  return rawExchange(socket(), std::string(maxInstanceLineLength + 10, 'a'));
              }));
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(InstanceRequest::Kind::enable, seen[3].kind);

    server.close();
    EXPECT_FALSE(fs::exists(socket()));
}

TEST_F(InstanceChannel, AStaleSocketAnswersNothingAndIsReplaced) {
    EXPECT_EQ(std::nullopt, askRunningInstance(socket(), InstanceRequest{}));

    leaveStaleSocket(socket());
    ASSERT_TRUE(fs::is_socket(socket()));
    EXPECT_EQ(std::nullopt, askRunningInstance(socket(), InstanceRequest{}));

    InstanceServer next(answering([](const InstanceRequest&) { return InstanceReply::ok(); }));
    ASSERT_EQ(std::nullopt, next.listen(socket()));
    EXPECT_EQ("ok\n", ask({InstanceRequest::Kind::show, {}}));
}

// Hundreds of clients that connect and say nothing: a bounded number is
// served, the rest are told the instance is busy, and once the crowd goes
// the channel answers as before.
TEST_F(InstanceChannel, AFloodOfIdleClientsIsRefusedPolitelyAndTheChannelRecovers) {
    std::vector<std::string> logged;
    InstanceServer server(answering([](const InstanceRequest&) { return statusReply; }),
                          [&](std::string_view line) { logged.emplace_back(line); },
                          {8, std::chrono::minutes(1)});
    ASSERT_EQ(std::nullopt, server.listen(socket()));

    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int i = 0; i < 300; ++i) {
        crowd.push_back(std::make_unique<RawClient>(socket()));
        ASSERT_TRUE(crowd.back()->connected()) << i;
    }
    const auto refused = [&] {
        int count = 0;
        for (auto& client : crowd) count += client->collect() ? 1 : 0;
        return count;
    };
    ASSERT_TRUE(serveUntil([&] { return refused() == 292; }));
    EXPECT_EQ(8, server.clientCount());
    for (std::size_t i = 8; i < crowd.size(); ++i) {
        EXPECT_EQ("error: the running Corvane is busy; try again in a moment\n", crowd[i]->reply) << i;
    }
    ASSERT_EQ(1u, logged.size()) << "one line for the whole flood";
    EXPECT_TRUE(fs::is_socket(socket()));

    crowd.clear();
    ASSERT_TRUE(serveUntil([&] { return server.clientCount() == 0; }));
    EXPECT_EQ(statusReply.text + "\n", ask({InstanceRequest::Kind::status, {}}));
    EXPECT_EQ(1u, logged.size());
}

TEST_F(InstanceChannel, AnIdleClientIsDroppedAfterTheTimeout) {
    InstanceServer server(answering([](const InstanceRequest&) { return InstanceReply::ok(); }), {},
                          {1, std::chrono::milliseconds(50)});
    ASSERT_EQ(std::nullopt, server.listen(socket()));
    RawClient idle(socket());
    ASSERT_TRUE(serveUntil([&] { return idle.collect(); }));
    EXPECT_EQ("", idle.reply);
    ASSERT_TRUE(serveUntil([&] { return server.clientCount() == 0; }));
    EXPECT_EQ("ok\n", ask({InstanceRequest::Kind::show, {}}));
}

// With the process out of descriptors, clients wait in the kernel's queue;
// the socket file stays, and they are answered once descriptors are free.
TEST_F(InstanceChannel, RunningOutOfDescriptorsNeverTakesTheSocketDown) {
    std::vector<std::string> logged;
    InstanceServer server(answering([](const InstanceRequest&) { return statusReply; }),
                          [&](std::string_view line) { logged.emplace_back(line); },
                          {8, std::chrono::minutes(1), std::chrono::milliseconds(20)});
    ASSERT_EQ(std::nullopt, server.listen(socket()));

    std::vector<std::unique_ptr<RawClient>> waiting;
    for (int i = 0; i < 5; ++i) {
        waiting.push_back(std::make_unique<RawClient>(socket()));
        waiting.back()->send("status\n");
    }
    rlimit original{};
    ASSERT_EQ(0, ::getrlimit(RLIMIT_NOFILE, &original));
    rlimit tight = original;
    tight.rlim_cur = static_cast<rlim_t>(nextDescriptor());
    ASSERT_EQ(0, ::setrlimit(RLIMIT_NOFILE, &tight));
    const bool sawFailure = serveUntil([&] { return !logged.empty(); });
    // Give the server a few more turns while starved: it must neither spin
    // out of control nor give up.
    for (int turn = 0; turn < 5; ++turn) QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
    ASSERT_EQ(0, ::setrlimit(RLIMIT_NOFILE, &original));

    ASSERT_TRUE(sawFailure);
    EXPECT_EQ(1u, logged.size());
    EXPECT_NE(std::string::npos, logged[0].find("Too many open files")) << logged[0];
    EXPECT_TRUE(fs::is_socket(socket()));
    for (auto& client : waiting) {
        ASSERT_TRUE(serveUntil([&] { return client->collect(); }));
        EXPECT_EQ(statusReply.text + "\n", client->reply);
    }
    EXPECT_EQ(statusReply.text + "\n", ask({InstanceRequest::Kind::status, {}}));
}

// Only the user who started this instance may talk to it. A process of
// another user is answered with an error and never reaches the handler.
TEST_F(InstanceChannel, RequestsFromAnotherUserAreRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    int handled = 0;
    std::vector<std::string> logged;
    InstanceServer server(answering([&](const InstanceRequest&) {
                              ++handled;
                              return InstanceReply::ok();
                          }),
                          [&](std::string_view line) { logged.emplace_back(line); });
    ASSERT_EQ(std::nullopt, server.listen(socket()));
    // Open the way in so that only the credentials check stands between.
    ASSERT_EQ(0, ::chmod(root_.c_str(), 0755));
    ASSERT_EQ(0, ::chmod(socket().c_str(), 0666));

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket().c_str(), sizeof(address.sun_path) - 1);
    int result[2];
    ASSERT_EQ(0, ::pipe2(result, O_CLOEXEC));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Only system calls from here: the child of a threaded process.
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) ::_exit(3);
        if (::write(fd, "show\n", 5) != 5) ::_exit(4);
        char reply[256];
        ssize_t total = 0;
        for (ssize_t got; (got = ::read(fd, reply + total, sizeof reply - total)) > 0;) total += got;
        if (::write(result[1], reply, static_cast<std::size_t>(total)) != total) ::_exit(5);
        ::_exit(0);
    }
    ::close(result[1]);
    ASSERT_TRUE(serveUntil([&] {
        pollfd ready{result[0], POLLIN, 0};
        return ::poll(&ready, 1, 0) == 1;
    }));
    std::string reply;
    char chunk[256];
    for (ssize_t got; (got = ::read(result[0], chunk, sizeof chunk)) > 0;) reply.append(chunk, got);
    ::close(result[0]);
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    EXPECT_EQ("error: this Corvane belongs to another user\n", reply);
    EXPECT_EQ(0, handled);
    EXPECT_EQ(1u, logged.size());
    EXPECT_EQ("ok\n", ask({InstanceRequest::Kind::show, {}})) << "its own user still gets through";
}

// Something that is not a socket at the socket's path is the user's, not a
// leftover of ours: it is refused with one line and left as it was.
TEST_F(InstanceChannel, ANonSocketInTheWayIsRefusedAndLeftAlone) {
    InstanceServer server(answering([](const InstanceRequest&) { return InstanceReply::ok(); }));
    {
        std::ofstream(socket()) << "notes";
        const auto problem = server.listen(socket());
        ASSERT_TRUE(problem.has_value());
        EXPECT_NE(std::string::npos, problem->find(socket().string()));
        EXPECT_NE(std::string::npos, problem->find("not a socket"));
        EXPECT_EQ(std::string::npos, problem->find('\n'));
        std::ifstream in(socket());
        EXPECT_EQ("notes", std::string(std::istreambuf_iterator<char>(in), {}));
        fs::remove(socket());
    }
    fs::create_directory(socket());
    EXPECT_TRUE(server.listen(socket()).has_value());
    EXPECT_TRUE(fs::is_directory(socket()));
    fs::remove(socket());

    // A link, even to a socket, is not followed and not removed.
    leaveStaleSocket(root_ / "elsewhere");
    fs::create_symlink(root_ / "elsewhere", socket());
    EXPECT_TRUE(server.listen(socket()).has_value());
    EXPECT_TRUE(fs::is_symlink(socket()));
    EXPECT_TRUE(fs::is_socket(root_ / "elsewhere"));
}

// Closing removes the socket file only while it is the one this server
// made: one put there since belongs to someone else.
TEST_F(InstanceChannel, CloseRemovesOnlyItsOwnSocketFile) {
    InstanceServer server(answering([](const InstanceRequest&) { return InstanceReply::ok(); }));
    ASSERT_EQ(std::nullopt, server.listen(socket()));
    fs::remove(socket());
    leaveStaleSocket(socket());
    server.close();
    EXPECT_TRUE(fs::is_socket(socket()));
}

TEST_F(InstanceChannel, AnAnswerGivenLaterReachesTheClientWhileTheLoopRuns) {
    // An action answers once its outcome is known. Meanwhile the main thread
    // keeps serving: a status request that comes later is answered first.
    std::function<void(const InstanceReply&)> pending;
    InstanceServer server(
        [&](const InstanceRequest& request, std::function<void(const InstanceReply&)> reply) {
            if (request.kind != InstanceRequest::Kind::action) {
                reply(InstanceReply{InstanceReply::Kind::status, "{}"});
                return;
            }
            pending = std::move(reply);
        });
    ASSERT_EQ(std::nullopt, server.listen(socket()));

    std::optional<std::string> actionReply;
    std::atomic<bool> actionDone{false};
    std::thread actionClient([&] {
        actionReply = askRunningInstance(socket(), {InstanceRequest::Kind::action, "send2"});
        actionDone = true;
    });
    while (!pending) QCoreApplication::processEvents();
    EXPECT_EQ("{}\n", ask({InstanceRequest::Kind::status, {}}));
    EXPECT_FALSE(actionDone);

    pending(InstanceReply::error("No focused window to move"));
    while (!actionDone) QCoreApplication::processEvents();
    actionClient.join();
    EXPECT_EQ("error: No focused window to move\n", actionReply);
}

}  // namespace
}  // namespace corvane
