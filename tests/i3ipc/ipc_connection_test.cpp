#include "ports/i3ipc/ipc_connection.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace corvane::i3ipc {
namespace {

// A peer on a socket of its own that answers the first request with
// whatever the test scripts, then keeps the connection open until the test
// is done with it (so a missing reply is a timeout, not an end of stream).
class ScriptedPeer {
public:
    explicit ScriptedPeer(std::function<void(int client)> script) {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-ipc-XXXXXX").string();
        directory_ = ::mkdtemp(pattern.data());
        path_ = directory_ + "/sock";
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strcpy(address.sun_path, path_.c_str());
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        ::listen(listener_, 1);
        thread_ = std::thread([this, script = std::move(script)] {
            const int client = ::accept(listener_, nullptr, nullptr);
            if (client < 0) return;
            char header[14];
            std::size_t got = 0;
            while (got < sizeof(header)) {
                const ssize_t n = ::read(client, header + got, sizeof(header) - got);
                if (n <= 0) break;
                got += static_cast<std::size_t>(n);
            }
            script(client);
            char byte;
            while (::read(client, &byte, 1) > 0) {
            }
            ::close(client);
        });
    }
    ~ScriptedPeer() {
        thread_.join();
        ::close(listener_);
        ::unlink(path_.c_str());
        ::rmdir(directory_.c_str());
    }
    const std::string& path() const { return path_; }

private:
    std::string directory_, path_;
    int listener_ = -1;
    std::thread thread_;
};

void send(int fd, const std::string& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

TEST(IpcConnection, SkipsEventsAndAnswersWithTheReplyOfTheRequestType) {
    ScriptedPeer peer([](int client) {
        send(client, encodeFrame(eventBit | EventType::workspace, R"({"change":"focus"})") +
                         encodeFrame(MessageType::getTree, R"({"id":1})"));
    });
    auto connection = IpcConnection::open(peer.path());
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->request(MessageType::getTree, {}), R"({"id":1})");
    EXPECT_TRUE(connection->isAlive());
}

TEST(IpcConnection, TruncatedGarbageOrMissingRepliesFailWithoutHangingAndKillTheConnection) {
    struct Case {
        const char* name;
        std::function<void(int)> script;
    };
    const Case cases[] = {
        {"truncated", [](int c) { send(c, encodeFrame(MessageType::getTree, R"({"id":1})").substr(0, 17)); }},
        {"garbage", [](int c) { send(c, "not the protocol at all"); }},
        {"silent", [](int) {}},
        {"hangs up", [](int c) { ::shutdown(c, SHUT_WR); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer(c.script);
        auto connection = IpcConnection::open(peer.path());
        ASSERT_TRUE(connection);
        EXPECT_FALSE(connection->request(MessageType::getTree, {}, std::chrono::milliseconds(200)));
        EXPECT_FALSE(connection->isAlive());
        // A late reply must never be taken for the answer to a later request.
        EXPECT_FALSE(connection->request(MessageType::getTree, {}, std::chrono::milliseconds(10)));
        ::shutdown(connection->fileDescriptor(), SHUT_RDWR);
    }
}

TEST(IpcConnection, EventsArriveInOrderAndAHangUpIsReported) {
    ScriptedPeer peer([](int client) {
        send(client, encodeFrame(MessageType::subscribe, R"({"success":true})") +
                         encodeFrame(eventBit | EventType::binding, "first") +
                         encodeFrame(eventBit | EventType::binding, "second"));
        ::shutdown(client, SHUT_WR);
    });
    auto connection = IpcConnection::open(peer.path());
    ASSERT_TRUE(connection);
    ASSERT_TRUE(connection->request(MessageType::subscribe, R"(["binding"])"));
    std::vector<std::string> seen;
    bool alive = true;
    while (alive) {
        for (const auto& e : connection->readEvents(alive)) seen.push_back(e.payload);
        if (alive) std::this_thread::yield();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
    ::shutdown(connection->fileDescriptor(), SHUT_RDWR);
}

TEST(IpcConnection, RequestsSentTogetherAreAnsweredInOrderAndAMissingReplyFailsOnlyTheRest) {
    ScriptedPeer peer([](int client) {
        send(client,
             encodeFrame(MessageType::getTree, "tree") + encodeFrame(MessageType::getOutputs, "outputs"));
    });
    auto connection = IpcConnection::open(peer.path());
    ASSERT_TRUE(connection);
    const auto replies = connection->requestAll(
        {{MessageType::getTree, {}}, {MessageType::getOutputs, {}}, {MessageType::getWorkspaces, {}}},
        std::chrono::milliseconds(200));
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0], "tree");
    EXPECT_EQ(replies[1], "outputs");
    EXPECT_FALSE(replies[2]);
    EXPECT_FALSE(connection->isAlive());
    EXPECT_EQ(connection->requestCount(), 3u);
    ::shutdown(connection->fileDescriptor(), SHUT_RDWR);
}

TEST(IpcConnection, UnreachableSocketsGiveNoConnection) {
    EXPECT_FALSE(IpcConnection::open(""));
    EXPECT_FALSE(IpcConnection::open("/nonexistent/corvane/socket"));
    EXPECT_FALSE(IpcConnection::open(std::string(200, 'x'))) << "longer than a socket path can be";
}

}  // namespace
}  // namespace corvane::i3ipc
