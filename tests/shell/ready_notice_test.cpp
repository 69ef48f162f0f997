#include "app/shell/ready_notice.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>

namespace corvane {
namespace {

struct Pipe {
    std::array<int, 2> fds{-1, -1};
    Pipe() { EXPECT_EQ(0, ::pipe2(fds.data(), O_CLOEXEC)); }
    ~Pipe() {
        for (int fd : fds) {
            if (fd >= 0) ::close(fd);
        }
    }
    std::string readAll() {
        std::string text;
        std::array<char, 64> buffer{};
        ssize_t n = 0;
        while ((n = ::read(fds[0], buffer.data(), buffer.size())) > 0)
            text.append(buffer.data(), std::size_t(n));
        return text;
    }
};

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

TEST(ReadyNotice, WritesOnceClosesAndForgetsTheVariable) {
    Pipe pipe;
    ::setenv(readyFdVariable, std::to_string(pipe.fds[1]).c_str(), 1);
    EXPECT_EQ(std::nullopt, sendReadyNotice());
    EXPECT_EQ(nullptr, std::getenv(readyFdVariable));
    EXPECT_FALSE(isOpen(pipe.fds[1]));
    pipe.fds[1] = -1;                      // closed by the notice
    EXPECT_EQ("ready\n", pipe.readAll());  // and end of file: the writer is gone

    EXPECT_EQ(std::nullopt, sendReadyNotice());  // nothing asked any more
}

TEST(ReadyNotice, BadValuesAreReportedNotFollowed) {
    for (const char* value : {"", "abc", "3x", "-1", "99999999999"}) {
        ::setenv(readyFdVariable, value, 1);
        const auto problem = sendReadyNotice();
        ASSERT_NE(std::nullopt, problem) << value;
        EXPECT_NE(std::string::npos, problem->find("not a file descriptor")) << *problem;
        EXPECT_EQ(nullptr, std::getenv(readyFdVariable));
    }

    // A descriptor that is not open: reported, nothing else happens.
    Pipe pipe;
    const int closed = pipe.fds[1];
    ::close(closed);
    pipe.fds[1] = -1;
    ::setenv(readyFdVariable, std::to_string(closed).c_str(), 1);
    const auto problem = sendReadyNotice();
    ASSERT_NE(std::nullopt, problem);
    EXPECT_NE(std::string::npos, problem->find("cannot write"));
}

TEST(ReadyNotice, AReaderThatLeftIsAnErrorNotADeath) {
    std::signal(SIGPIPE, SIG_IGN);  // as main does
    Pipe pipe;
    ::close(pipe.fds[0]);
    pipe.fds[0] = -1;
    ::setenv(readyFdVariable, std::to_string(pipe.fds[1]).c_str(), 1);
    EXPECT_NE(std::nullopt, sendReadyNotice());
    pipe.fds[1] = -1;  // closed by the notice
}

}  // namespace
}  // namespace corvane
