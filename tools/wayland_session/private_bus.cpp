#include "tools/wayland_session/private_bus.hpp"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "tools/xharness/unique_fd.hpp"

namespace corvane::wayland {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

bool waitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit) {
    const xharness::UniqueFd watch(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
    if (!watch || ::inotify_add_watch(watch.get(), path.parent_path().c_str(), IN_CREATE | IN_MOVED_TO) < 0)
        return std::filesystem::exists(path);
    const auto deadline = Clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd p{watch.get(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) > 0) {
            char buffer[4096];
            while (::read(watch.get(), buffer, sizeof buffer) > 0) {
            }
        }
    }
    return true;
}

PrivateBus::PrivateBus(const SessionUser& user, const std::filesystem::path& directory,
                       const std::string& name, const std::map<std::string, std::string>& environment) {
    const auto socket = directory / (name + ".bus");
    const auto config = directory / (name + ".conf");
    // A session bus that lets every user in: the test runs as root, the
    // session as its user.
    std::ofstream(config)
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <listen>unix:path="
        << socket.string()
        << "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <standard_session_servicedirs/>\n"
           "  <policy context=\"default\">\n"
           "    <allow user=\"*\"/>\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
    user.give(config);
    xharness::SpawnOptions spawn;
    spawn.argv = user.wrap({"dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + config.string()},
                           environment, directory);
    spawn.stderrFile = directory / (name + ".log");
    daemon_ = std::make_unique<xharness::ChildProcess>(spawn);
    if (!waitForFile(socket, timeout)) throw std::runtime_error("the " + name + " bus did not start");
    address_ = "unix:path=" + socket.string();
}

PrivateBus::~PrivateBus() {
    daemon_->terminate();
}

}  // namespace corvane::wayland
