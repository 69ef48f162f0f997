#pragma once

#include <QDBusConnection>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/rect.hpp"
#include "tools/wayland_session/private_bus.hpp"
#include "tools/wayland_session/session_user.hpp"
#include "tools/xharness/child_process.hpp"
#include "tools/xharness/temp_dir.hpp"

namespace corvane::gnome::testing {

// Key codes as the kernel numbers them (linux/input-event-codes.h), which is
// what mutter's remote desktop takes.
namespace Key {
inline constexpr unsigned ctrl = 29, alt = 56, shift = 42, super = 125;
inline constexpr unsigned left = 105, right = 106, up = 103, down = 108, m = 50;
inline constexpr unsigned digit(int n) {
    return n == 0 ? 11u : static_cast<unsigned>(n + 1);
}
}  // namespace Key

// What the extension reports of the shell, read the way Corvane reads it.
struct ShellWindow {
    std::string id;
    std::string title;
    Rect frame;
    int desktop = 0;
    int monitor = 0;
};
struct ShellState {
    std::optional<std::string> focused;
    std::vector<ShellWindow> windows;
    std::vector<Rect> monitors;
    std::vector<Rect> workAreas;
    int desktops = 0;
    int current = 0;
    std::vector<std::string> bound;  // our keybindings the shell holds
    const ShellWindow* window(const std::string& title) const;
};

struct GnomeOptions {
    // GNOME's session defaults: dynamic workspaces, workspaces only on the
    // primary monitor. Otherwise four static workspaces on every monitor.
    bool sessionDefaults = true;
    // GNOME's own keybindings to clear before the shell starts (keys of
    // org.gnome.desktop.wm.keybindings), so ours can take those keys.
    std::vector<std::string> freeKeybindings;
    // Our extension installed and enabled before the shell starts, as after
    // the one log-out; otherwise the session is as Corvane first finds it.
    bool withExtension = true;
    // The user's other extensions, enabled and disabled.
    std::vector<std::string> otherExtensions;
};

// A headless GNOME Shell of the test's own with two virtual monitors
// (1440x900 primary, 1280x720 to its right), our extension installed and
// enabled before it starts, private buses, fresh runtime and settings
// folders, run as the session user. Throws when it does not come up.
class GnomeSession {
public:
    static constexpr std::chrono::milliseconds timeout{20000};

    explicit GnomeSession(GnomeOptions options = {});
    ~GnomeSession();
    GnomeSession(const GnomeSession&) = delete;
    GnomeSession& operator=(const GnomeSession&) = delete;

    // The shell's session variables, for its clients (Corvane among them).
    std::map<std::string, std::string> environment() const;
    std::vector<std::string> asUser(const std::vector<std::string>& argv) const;
    const std::filesystem::path& directory() const { return dir_.path(); }
    const wayland::SessionUser& user() const { return user_; }

    // The state now, through the extension; absent when it does not answer.
    std::optional<ShellState> state();
    // Polls the state until `done` holds; false at the deadline.
    bool waitFor(const std::function<bool(const ShellState&)>& done,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
    // Opens a test window and returns its id once it has focus.
    std::string openWindow(const std::string& title, int width = 640, int height = 480);
    // Presses the keys in order and lets go in reverse, through the shell's
    // own input path. Returns the moment the last key went down (what a
    // benchmark measures from).
    std::chrono::steady_clock::time_point press(const std::vector<unsigned>& keys);
    // press() in two halves: down in order (returns when the last went
    // down), and up in reverse.
    std::chrono::steady_clock::time_point hold(const std::vector<unsigned>& keys);
    void release(const std::vector<unsigned>& keys);
    // How often waitFor reads the state again (benchmarks read often).
    void setPollStep(std::chrono::microseconds step) { pollStep_ = step; }
    std::string log() const;
    // A settings value in gsettings' text form ("['a', 'b']").
    std::string setting(const std::string& schema, const std::string& key);

private:
    void sendKey(unsigned key, bool down);
    void leaveOverview();
    std::string gsettings(const std::vector<std::string>& arguments);

    wayland::SessionUser user_;
    xharness::TempDir dir_;
    std::unique_ptr<wayland::PrivateBus> systemBus_;
    std::unique_ptr<wayland::PrivateBus> sessionBus_;
    std::unique_ptr<xharness::ChildProcess> shell_;
    std::vector<std::unique_ptr<xharness::ChildProcess>> clients_;
    std::optional<QDBusConnection> bus_;
    std::string remoteSession_;
    std::filesystem::path windowProgram_;
    std::chrono::microseconds pollStep_{10000};
};

// The real app in the session; returns once it is ready and the extension
// holds its keybindings.
class GnomeCorvane {
public:
    // With `waitForBindings` false it returns once Corvane is ready, for a
    // session whose shell has not loaded our extension.
    explicit GnomeCorvane(GnomeSession& session, const std::string& configText = {},
                          bool waitForBindings = true);
    ~GnomeCorvane();
    xharness::CommandResult run(const std::vector<std::string>& arguments);
    std::string stderrText() const;
    bool isAlive() { return process_->isRunning(); }

private:
    GnomeSession& session_;
    std::filesystem::path binary_;
    std::unique_ptr<xharness::ChildProcess> process_;
};

// Fails the test with the reason when no session user can be had.
std::optional<std::string> whyGnomeCannotRun();

}  // namespace corvane::gnome::testing
