#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/config.hpp"
#include "core/rect.hpp"
#include "tools/xharness/client_window.hpp"
#include "tools/xharness/corvane_process.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane {

// Readable rectangles in assertion messages.
void PrintTo(const Rect& rect, std::ostream* out);

namespace e2e {

// The app under test: CORVANE_E2E_BINARY from the environment, else the
// binary this suite was built with; absent when neither exists.
std::optional<std::filesystem::path> corvaneBinary();

// Settings files for a private XDG_CONFIG_HOME: the stored configuration,
// when given. (The harness marks the tour as done unless told otherwise.)
std::map<std::filesystem::path, std::string> settingsFiles(
    const std::optional<Config>& config = std::nullopt);

// The chord that types a stored shortcut on X11 (Command -> Super,
// Option -> Alt), e.g. "Ctrl+Alt+Super+Left".
std::string chordFor(const Shortcut& shortcut);

// The app's `--status` line, read.
struct Status {
    bool enabled = false;
    std::vector<std::string> unavailable;
    bool tourOpen = false;
};
// Runs `corvane --status`; absent (with a failure recorded) when it fails or prints no such line.
std::optional<Status> status(const xharness::CorvaneProcess& app);

// One server, one app, one window: the common shape of a test. SetUp
// skips when the app is not built. TearDown checks that the app is still
// alive unless the test ended it on purpose (expectExit()), that it quits
// on SIGTERM, and that it reported no failure unless allowed (allowLogLines()).
class AppTest : public ::testing::Test {
protected:
    // Override to change the server or the app's options before SetUp starts them.
    virtual xharness::XServerOptions serverOptions() { return {}; }
    virtual xharness::CorvaneOptions appOptions() { return {settingsFiles()}; }
    // Runs between the server's start and the app's.
    virtual void beforeAppStarts() {}

    void SetUp() override;
    void TearDown() override;

    xharness::XServer& server() { return *server_; }
    xharness::XConnection& x() { return server_->x(); }
    xharness::CorvaneProcess& app() { return *app_; }
    void startApp();
    void expectExit() { appMayExit_ = true; }
    // For tests that provoke failures the app rightly reports.
    void allowLogLines() { logLinesAllowed_ = true; }

    // The fixture keeps the window open until the app has stopped: a move
    // still under way when a test's checks pass must not lose its window.
    xharness::ClientWindow* openWindow(const std::string& title = "Test window");

    // Presses `chord` and waits until the window's outer frame is `expected`.
    // On a timeout the assertion message shows the frame it had.
    ::testing::AssertionResult pressAndExpectFrame(const std::string& chord, xharness::ClientWindow& window,
                                                   const Rect& expected);
    // Waits until the window's frame is `expected`.
    ::testing::AssertionResult expectFrame(xharness::ClientWindow& window, const Rect& expected);

    // The primary monitor's usable area, in the app's top-left space.
    Rect primaryVisible();

    std::unique_ptr<xharness::XServer> server_;
    std::unique_ptr<xharness::CorvaneProcess> app_;
    std::vector<std::unique_ptr<xharness::ClientWindow>> windows_;
    bool appMayExit_ = false;
    bool logLinesAllowed_ = false;
};

}  // namespace e2e
}  // namespace corvane
