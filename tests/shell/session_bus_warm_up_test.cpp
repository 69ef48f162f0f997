#include "app/shell/session_bus_warm_up.hpp"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDBusConnection>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace corvane {
namespace {

namespace fs = std::filesystem;

class SessionBus : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("corvane-bus-" + std::to_string(::getpid()));
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    void makeBusSocket() {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, (root_ / "bus").c_str(), sizeof(address.sun_path) - 1);
        ASSERT_EQ(0, ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address));
        ::close(fd);
    }

    fs::path root_;
};

TEST_F(SessionBus, AnnouncedByAnAddressOrTheUsersSocketOnly) {
    EXPECT_TRUE(sessionBusAnnounced("unix:path=/somewhere", nullptr));
    EXPECT_FALSE(sessionBusAnnounced(nullptr, nullptr));
    EXPECT_FALSE(sessionBusAnnounced("", ""));
    EXPECT_FALSE(sessionBusAnnounced(nullptr, root_.c_str()));
    // A plain file named like the socket is not a bus.
    std::ofstream(root_ / "bus") << "not a socket";
    EXPECT_FALSE(sessionBusAnnounced(nullptr, root_.c_str()));
    fs::remove(root_ / "bus");
    makeBusSocket();
    EXPECT_TRUE(sessionBusAnnounced("", root_.c_str()));
}

// No bus daemon is started where none was announced, and the environment
// programs started later inherit is the one we were given.
TEST_F(SessionBus, WithoutAnAnnouncedBusNoneIsStartedAndTheEnvironmentStays) {
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("XDG_RUNTIME_DIR", root_.c_str(), 1);
    {
        SessionBusWarmUp warmUp;
        warmUp.finish();
        EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
    }
    EXPECT_FALSE(QDBusConnection::sessionBus().isConnected());
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
}

}  // namespace
}  // namespace corvane
