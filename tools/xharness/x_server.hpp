#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/xharness/child_process.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/monitors.hpp"
#include "tools/xharness/temp_dir.hpp"
#include "tools/xharness/x_connection.hpp"

namespace corvane::xharness {

// An openbox configuration with `desktops` desktops and only the given
// <keybind> elements: none by default, so that the manager holds none of the
// app's shortcuts (its stock configuration binds Ctrl+Alt+arrows).
std::string openboxConfig(int desktops, std::string_view keybindings = {});

struct XServerOptions {
    int width = 1366;
    int height = 768;
    // RandR monitors to make on the screen; empty keeps the one screen-wide monitor.
    std::vector<MonitorSpec> monitors;
    bool windowManager = true;  // openbox, with a configuration of our own
    bool tray = true;           // trayer, the system-tray host
    int desktops = 2;           // the window manager's desktops at start
    // openbox's configuration file; absent: the harness's own, with
    // `desktops` desktops and no key or mouse bindings (openbox's stock
    // configuration binds Ctrl+Alt+arrows, which the app wants).
    std::optional<std::filesystem::path> windowManagerConfig;
};

// How long each part took to come up, for reports.
struct StartTimes {
    std::chrono::milliseconds server{0};         // spawn to display number on the pipe
    std::chrono::milliseconds windowManager{0};  // spawn to answering requests in its event loop
    std::chrono::milliseconds tray{0};           // spawn to the tray selection owned
};

// A private X server for one test: Xvfb on a display it picks itself
// (-displayfd), optionally with RandR monitors, a window manager and a
// tray host. Every start is synchronised on the server or an X event
// (the display number on the pipe, the window manager's start-up command
// and its answer to a request, the tray selection owner), never on a
// sleep. The destructor ends every process it started, each in its own
// process group.
class XServer {
public:
    static constexpr std::chrono::milliseconds startTimeout{15000};

    // Throws std::runtime_error (with the server's log) when a part fails to start.
    explicit XServer(XServerOptions options = {});
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":N"
    const std::string& display() const { return display_; }
    // What a client needs in its environment to use this server (and nothing of the host's).
    std::map<std::string, std::string> clientEnvironment() const;
    static std::vector<std::string> hostEnvironmentToDrop();

    XConnection& x() { return *x_; }
    Keyboard& keyboard() { return *keyboard_; }
    const std::filesystem::path& scratch() const { return scratch_.path(); }
    const StartTimes& startTimes() const { return startTimes_; }

    std::vector<MonitorArea> monitors() { return monitorAreas(*x_); }

    // Starts openbox with `configFile` (absent: the options' file, or the
    // harness's own) and returns once it has taken over the windows already
    // there and answers requests. Its EWMH properties on the root come
    // earlier than that, so they are not enough: openbox runs a start-up
    // command of ours just before its event loop, and then must answer a
    // _NET_REQUEST_FRAME_EXTENTS. Throws, with openbox's log, when it does
    // not, or when a window manager is already running.
    // With `replace`, a running one is replaced as `openbox --replace` does.
    void startWindowManager(const std::optional<std::filesystem::path>& configFile = std::nullopt,
                            bool replace = false);
    // Ends the window manager (SIGTERM, so it hands its windows back) and
    // waits until its check window is gone, so another can start at once.
    void stopWindowManager();
    // Kills the window manager outright (SIGKILL), as a crash would.
    void killWindowManager();
    bool windowManagerRunning();
    // Starts trayer and waits until it owns the system-tray selection.
    void startTray();

    // Runs an X client (xrandr, wmctrl, import, ...) on this server to its end.
    CommandResult runClient(const std::vector<std::string>& argv,
                            std::chrono::milliseconds timeout = std::chrono::milliseconds(10000));

    // Ends the server (SIGTERM) and waits for it; every client loses its connection.
    void stop();
    bool running();

private:
    std::string readDisplayNumber(int fd, ChildProcess& server);
    std::string serverLog() const;
    // Blocks until the manager's start-up command writes to `readyFifo`
    // (or the manager ends); false when it does not in time.
    bool waitForStartupCommand(int readyFifo, ChildProcess& manager);
    // Asks openbox for the frame extents of a fresh, unmapped window and
    // waits for the answer; false when none comes in time.
    bool windowManagerAnswers(ChildProcess& manager);
    // Drops the ended manager and waits until the server has noticed.
    void forgetWindowManager();

    XServerOptions options_;
    TempDir scratch_;
    std::unique_ptr<ChildProcess> xvfb_;
    std::string display_;
    std::unique_ptr<XConnection> x_;
    std::unique_ptr<Keyboard> keyboard_;
    std::unique_ptr<ChildProcess> windowManager_;
    std::unique_ptr<ChildProcess> tray_;
    int windowManagerStarts_ = 0;
    StartTimes startTimes_;
};

}  // namespace corvane::xharness
