#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/shell/file_lock.hpp"
#include "app/shell/instance_paths.hpp"
#include "app/shell/listening_socket.hpp"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// A fresh directory per test, removed afterwards.
class InstanceFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "corvane-shell-test-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        root_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    static mode_t modeOf(const fs::path& path) {
        struct stat info {};
        EXPECT_EQ(0, ::lstat(path.c_str(), &info));
        return info.st_mode & 0777;
    }
    fs::path root_;
};

TEST_F(InstanceFiles, SocketLivesUnderTheRuntimeDirectoryOrAPerUserFallback) {
    EXPECT_EQ(fs::path("/run/user/1000/corvane/instance"),
              InstancePaths::forUser("/run/user/1000", 1000).socket());
    EXPECT_EQ(fs::path("/tmp/corvane-1000/instance"), InstancePaths::forUser(nullptr, 1000).socket());
    EXPECT_EQ(fs::path("/tmp/corvane-7/instance"), InstancePaths::forUser("", 7).socket());
    // A relative runtime directory would depend on where we were started.
    EXPECT_EQ(fs::path("/tmp/corvane-7"), InstancePaths::forUser("run/user", 7).directory);
}

TEST_F(InstanceFiles, PrivateDirectoryIsCreatedOrTightened) {
    const fs::path fresh = root_ / "fresh";
    EXPECT_EQ(std::nullopt, preparePrivateDirectory(fresh));
    EXPECT_EQ(0700u, modeOf(fresh));

    const fs::path loose = root_ / "loose";
    ASSERT_EQ(0, ::mkdir(loose.c_str(), 0755));
    ASSERT_EQ(0, ::chmod(loose.c_str(), 0777));
    EXPECT_EQ(std::nullopt, preparePrivateDirectory(loose));
    EXPECT_EQ(0700u, modeOf(loose));
    // Preparing again is harmless.
    EXPECT_EQ(std::nullopt, preparePrivateDirectory(loose));
}

TEST_F(InstanceFiles, PrivateDirectoryRefusesFilesLinksAndMissingParents) {
    const fs::path file = root_ / "file";
    std::ofstream(file) << "x";
    EXPECT_NE(std::nullopt, preparePrivateDirectory(file));

    const fs::path target = root_ / "target";
    ASSERT_EQ(0, ::mkdir(target.c_str(), 0700));
    const fs::path link = root_ / "link";
    fs::create_directory_symlink(target, link);
    const auto refused = preparePrivateDirectory(link);
    ASSERT_NE(std::nullopt, refused);
    EXPECT_NE(std::string::npos, refused->find("not a directory"));

    EXPECT_NE(std::nullopt, preparePrivateDirectory(root_ / "missing" / "corvane"));
}

TEST_F(InstanceFiles, OnlyOneHolderOfALockAtATime) {
    const fs::path path = root_ / "instance.lock";
    auto first = FileLock::tryAcquire(path);
    ASSERT_TRUE(std::holds_alternative<FileLock>(first));
    EXPECT_EQ(0600u, modeOf(path));

    EXPECT_TRUE(std::holds_alternative<FileLock::Busy>(FileLock::tryAcquire(path)));

    // Moving the lock keeps it held; releasing the moved-to object frees it.
    FileLock moved = std::move(std::get<FileLock>(first));
    EXPECT_TRUE(std::holds_alternative<FileLock::Busy>(FileLock::tryAcquire(path)));
    moved.release();
    auto second = FileLock::acquire(path);
    EXPECT_TRUE(std::holds_alternative<FileLock>(second));

    const auto failed = FileLock::tryAcquire(root_ / "missing" / "lock");
    ASSERT_TRUE(std::holds_alternative<FileLock::Failure>(failed));
    EXPECT_NE(std::string::npos, std::get<FileLock::Failure>(failed).message.find("cannot open"));
}

// The toolkit ends the process with exit() when its X connection breaks; no
// destructor on the stack runs then, and still the socket file must go, or
// the next launch finds a socket with nobody behind it.
TEST_F(InstanceFiles, ASocketStillOpenAtExitIsRemoved) {
    const fs::path path = root_ / "instance";
    const auto endWhileListening = [&](bool throughExit) {
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            auto opened = ListeningSocket::open(path);
            if (!std::holds_alternative<ListeningSocket>(opened)) ::_exit(2);
            if (throughExit) std::exit(3);
            ::_exit(3);
        }
        int status = 0;
        EXPECT_EQ(child, ::waitpid(child, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    };

    endWhileListening(true);
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));

    // Killed outright it stays, and the next start replaces it.
    endWhileListening(false);
    EXPECT_TRUE(fs::is_socket(path));
    auto next = ListeningSocket::open(path);
    ASSERT_TRUE(std::holds_alternative<ListeningSocket>(next)) << std::get<std::string>(next);

    // A child of the listening process that exits takes nothing with it.
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) std::exit(0);
    ASSERT_EQ(child, ::waitpid(child, nullptr, 0));
    EXPECT_TRUE(fs::is_socket(path));

    std::get<ListeningSocket>(next).close();
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
}

}  // namespace
}  // namespace corvane
