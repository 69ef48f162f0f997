#pragma once

#include <xcb/xcb.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/rect.hpp"
#include "tools/xharness/child_process.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::xharness {

// A top-level client window of a process the harness started. The
// factories return once the window manager manages it (it has frame
// extents) and it is the active window, so a shortcut pressed next acts on it.
class ClientWindow {
public:
    // Our own tiny client (corvane-test-window): no size hints, a title,
    // _NET_WM_PID; it draws its title and size. Throws when it does not
    // appear or cannot be made active.
    static std::unique_ptr<ClientWindow> open(XServer& server, const std::string& title, int width = 640,
                                              int height = 480);
    // The same client with options of its own (see test_window_main.cpp):
    // "--no-pid", "--type", "DESKTOP", "--csd", "20,20,15,25".
    static std::unique_ptr<ClientWindow> open(XServer& server, const std::string& title, int width,
                                              int height, const std::vector<std::string>& options);
    // An xterm: a client with size increments (character cells).
    static std::unique_ptr<ClientWindow> openXterm(XServer& server, const std::string& title);
    // Any program that publishes _NET_WM_PID (a GTK application, say), or,
    // for one that does not, whose WM_CLASS class is `wmClass` ("XLogo").
    static std::unique_ptr<ClientWindow> openProgram(XServer& server, const std::vector<std::string>& argv,
                                                     const std::string& wmClass = {});

    ~ClientWindow() = default;
    ClientWindow(const ClientWindow&) = delete;
    ClientWindow& operator=(const ClientWindow&) = delete;

    xcb_window_t id() const { return window_; }
    pid_t pid() const { return process_->pid(); }

    // The outer frame in root coordinates; absent once the window is gone.
    std::optional<Rect> frame() { return server_.x().outerFrame(window_); }
    std::optional<std::uint32_t> desktop() { return server_.x().windowDesktop(window_); }
    bool isActive() { return server_.x().activeWindow() == window_; }

    // Makes it the active window again (after the manager restarted, say)
    // and waits until it is.
    void activate();

    // Ends the client's process at once (SIGKILL): the window disappears
    // without any goodbye, as a crashing or quitting application's would.
    // Returns once the window manager has dropped it from its client list.
    void close();

private:
    ClientWindow(XServer& server, const SpawnOptions& spawn, const std::string& wmClass = {});

    XServer& server_;
    std::unique_ptr<ChildProcess> process_;
    xcb_window_t window_ = XCB_NONE;
};

}  // namespace corvane::xharness
