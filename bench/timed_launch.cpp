#include "bench/timed_launch.hpp"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tools/xharness/deadline.hpp"
#include "tools/xharness/unique_fd.hpp"

namespace corvane::bench {

namespace {

constexpr int readyDescriptor = 3;

// Reads until a whole line has come, the writer closed the pipe or the deadline passed.
std::string readLine(int fd, const xharness::Deadline& deadline) {
    std::string text;
    while (text.find('\n') == std::string::npos) {
        pollfd p{.fd = fd, .events = POLLIN, .revents = 0};
        int r = ::poll(&p, 1, deadline.remainingMs());
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        char buffer[64];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::filesystem::path privateDirectory(const std::filesystem::path& path) {
    std::filesystem::create_directories(path);
    ::chmod(path.c_str(), 0700);
    return path;
}

}  // namespace

TimedLaunch::TimedLaunch(const std::filesystem::path& binary, xharness::XServer& server,
                         std::chrono::milliseconds timeout)
    : home_("corvane-bench-launch") {
    xharness::SpawnOptions spawn;
    spawn.argv = {binary.string()};
    spawn.environment = server.clientEnvironment();
    spawn.environment["XDG_CONFIG_HOME"] = privateDirectory(home_.path() / "config").string();
    spawn.environment["XDG_RUNTIME_DIR"] = privateDirectory(home_.path() / "runtime").string();
    spawn.environment["XDG_CACHE_HOME"] = privateDirectory(home_.path() / "cache").string();
    spawn.environment["XDG_DATA_HOME"] = privateDirectory(home_.path() / "data").string();
    spawn.environment["CORVANE_READY_FD"] = std::to_string(readyDescriptor);
    spawn.unsetEnvironment = xharness::XServer::hostEnvironmentToDrop();
    spawn.stderrFile = home_.path() / "stderr.log";

    xharness::Pipe ready = xharness::Pipe::make();
    spawn.descriptors = {{readyDescriptor, ready.write.get()}};
    const xharness::Deadline deadline(timeout);
    const auto started = std::chrono::steady_clock::now();
    process_ = std::make_unique<xharness::ChildProcess>(spawn);
    ready.write.reset();
    const std::string said = readLine(ready.read.get(), deadline);
    readyMs_ = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    if (said != "ready\n") {
        std::string why = said.empty() ? "it said nothing" : "it said \"" + said + "\"";
        throw std::runtime_error("corvane did not become ready: " + why + "\nstderr:\n" + stderrText());
    }
}

TimedLaunch::~TimedLaunch() {
    process_->terminate();
}

std::string TimedLaunch::stderrText() const {
    std::ifstream in(home_.path() / "stderr.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace corvane::bench
