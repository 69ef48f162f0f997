#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QLocalSocket>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "app/shell/single_instance.hpp"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// Sends raw bytes, as a confused or hostile client might, and reads the answer.
std::string rawExchange(const fs::path& path, const std::string& bytes) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path.string()));
    if (!socket.waitForConnected(5000)) return "no connection";
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    socket.waitForBytesWritten(5000);
    std::string reply;
    while (socket.waitForReadyRead(5000)) reply += socket.readAll().toStdString();
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
    EXPECT_EQ(fs::perms::owner_all, fs::status(socket()).permissions() & fs::perms::all);

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
