#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "tools/wayland_session/session_user.hpp"
#include "tools/xharness/child_process.hpp"

namespace corvane::wayland {

// A D-Bus daemon of the test's own, run as the session's user, that every
// user may connect to, so the test (as root) can talk to the compositor and
// the app on it. Serves as a session bus, or as the system bus a compositor
// insists on (GNOME Shell exits without one).
class PrivateBus {
public:
    static constexpr std::chrono::milliseconds timeout{10000};

    // `name` names its socket and configuration file in `directory`. The
    // services it starts on demand (dconf, for one) get `environment`, so
    // they keep their files where the session's programs look.
    PrivateBus(const SessionUser& user, const std::filesystem::path& directory, const std::string& name,
               const std::map<std::string, std::string>& environment);
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // "unix:path=…", for DBUS_SESSION_BUS_ADDRESS or DBUS_SYSTEM_BUS_ADDRESS.
    const std::string& address() const { return address_; }

private:
    std::string address_;
    std::unique_ptr<xharness::ChildProcess> daemon_;
};

// Waits for a file to appear, on inotify. False when `limit` passed first.
bool waitForFile(const std::filesystem::path& path, std::chrono::milliseconds limit);

}  // namespace corvane::wayland
