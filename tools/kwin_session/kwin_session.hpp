#pragma once

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

namespace corvane::kwinharness {

// What KWin shows, as its own scripting API reads it.
struct KWinWindow {
    std::string id;
    std::string title;
    Rect frame;
    int desktop = 0;  // 1-based, -1 on every desktop
    int screen = 0;
    bool active = false;
};

struct KWinState {
    std::vector<KWinWindow> windows;
    std::vector<Rect> screens;
    int desktops = 1;
    int currentDesktop = 1;
    const KWinWindow* window(const std::string& title) const;
    const KWinWindow* active() const;
};

// A headless KWin of the test's own (two virtual outputs side by side), with
// a private session bus, runtime and configuration directory. As root it
// runs, with everything that talks to it, as an unprivileged user
// (wayland::SessionUser). KWin's own binary carries a file capability that
// such sandboxes refuse to exec, so a plain copy runs.
class KWinSession {
public:
    static constexpr std::chrono::milliseconds timeout{15000};

    struct Options {
        int outputs = 2;
        int width = 1440;
        int height = 900;
        // Written to kwinrc and kxkbrc before KWin starts
        // ("[Layout]\nLayoutList=de\nUse=true\n").
        std::string kwinrc;
        std::string kxkbrc;
    };

    // Throws when KWin does not come up; `available()` says beforehand
    // whether this machine has it at all.
    KWinSession();
    explicit KWinSession(Options options);
    ~KWinSession();
    KWinSession(const KWinSession&) = delete;
    KWinSession& operator=(const KWinSession&) = delete;

    // Empty when KWin can run here, else why not (for a skip message).
    static std::string unavailableReason();

    // The session's variables, for clients of this session.
    std::map<std::string, std::string> environment() const;
    // argv run as the session's user with its environment.
    std::vector<std::string> asUser(std::vector<std::string> argv) const;
    const std::filesystem::path& directory() const { return dir_.path(); }
    const wayland::SessionUser& user() const { return user_; }
    // Hands a file or folder to the session's user.
    void give(const std::filesystem::path& path) const;
    // A program copied where the session's user can run it.
    std::string reachable(const std::string& program);

    // One D-Bus call on the session bus (gdbus syntax); the reply as gdbus
    // prints it, absent on failure.
    std::optional<std::string> call(const std::string& service, const std::string& path,
                                    const std::string& method, const std::vector<std::string>& args = {});

    // Waits until KWin's shortcut registry gives the shortcut `name` (of
    // KWin's component) a key, or with `keyed` false until it has none:
    // Corvane settles its keys a moment after it says it is ready, once its
    // script has attached, and again after every change.
    bool waitForShortcutKey(const std::string& name, std::chrono::milliseconds limit = timeout,
                            bool keyed = true);
    // Waits until that key is exactly `qtKey` (Qt's key code with modifiers).
    bool waitForShortcutKeyCode(const std::string& name, int qtKey,
                                std::chrono::milliseconds limit = timeout);

    // Opens a test window and returns once KWin shows it active.
    std::unique_ptr<xharness::ChildProcess> openWindow(const std::string& title);
    // Types combinations through KWin's fake input ("leftctrl+leftalt+left").
    void press(const std::vector<std::string>& combinations);

    // The state now (asked of KWin through a watcher script).
    KWinState state();
    // Waits, on KWin's own change signals, until `done` holds.
    bool waitFor(const std::function<bool(const KWinState&)>& done,
                 std::chrono::milliseconds limit = std::chrono::milliseconds(5000));
    std::string log() const;

private:
    void startWatcher();
    std::optional<KWinState> lastState();

    Options options_;
    xharness::TempDir dir_;
    wayland::SessionUser user_;
    std::string injector_;
    std::string windowProgram_;
    std::unique_ptr<wayland::PrivateBus> bus_;
    std::unique_ptr<xharness::ChildProcess> kwin_;
};

// The real app in a KWin session; returns once it said "ready".
class KWinCorvane {
public:
    // Returns once the app said "ready" and `keyed` (unless empty) has its
    // key in KWin: Corvane gives its shortcuts their keys in the order it
    // registers them, Follow to Desktop 9 last.
    KWinCorvane(KWinSession& session, const std::string& configText = {},
                const std::string& keyed = "corvane-follow9");
    ~KWinCorvane();
    xharness::CommandResult run(const std::vector<std::string>& arguments);
    std::string stderrText() const;
    bool isAlive() { return process_->isRunning(); }
    // Ends the app with SIGTERM, as a session's logout does.
    std::optional<xharness::ExitStatus> terminate();

private:
    KWinSession& session_;
    std::string binary_;
    std::unique_ptr<xharness::ChildProcess> process_;
};

}  // namespace corvane::kwinharness
