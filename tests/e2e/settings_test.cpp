// The settings window of the real app on a real server: a second launch
// brings it to the desktop the user looks at; recording a shortcut takes
// the keyboard from every other client, the window manager's own key
// bindings included, until the combination is in; the new shortcut works
// everywhere at once and outlives a restart.

#include <gtest/gtest.h>
#include <xcb/xcb_ewmh.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tools/xharness/deadline.hpp"

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

const char* const kStockOpenboxConfig = "/etc/xdg/openbox/rc.xml";

std::optional<std::string> windowName(xharness::XConnection& x, xcb_window_t window) {
    xcb_ewmh_get_utf8_strings_reply_t name;
    if (!xcb_ewmh_get_wm_name_reply(x.ewmh(), xcb_ewmh_get_wm_name(x.ewmh(), window), &name, nullptr))
        return std::nullopt;
    std::string text(name.strings, name.strings_len);
    xcb_ewmh_get_utf8_strings_reply_wipe(&name);
    return text;
}

std::vector<xcb_window_t> settingsWindows(xharness::XConnection& x) {
    std::vector<xcb_window_t> found;
    for (xcb_window_t w : x.clientList())
        if (windowName(x, w) == "Corvane Settings") found.push_back(w);
    return found;
}

// Whether some other client holds the keyboard: this connection's own grab
// is refused then (and released at once when it is not).
bool keyboardHeldElsewhere(xharness::XConnection& x) {
    auto reply = xharness::adoptReply(xcb_grab_keyboard_reply(
        x.get(),
        xcb_grab_keyboard(x.get(), 0, x.root(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    if (!reply) return false;
    if (reply->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_keyboard(x.get(), XCB_CURRENT_TIME);
        x.sync();
        return false;
    }
    return reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

// The server tells no other client when a grab starts or ends, so this asks
// it again every few milliseconds until the deadline.
bool waitForKeyboardHeld(xharness::XConnection& x, bool held) {
    const xharness::Deadline deadline(5s);
    while (!deadline.passed()) {
        if (keyboardHeldElsewhere(x) == held) return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

// The window that receives typed keys now (the server's input focus).
xcb_window_t inputFocus(xharness::XConnection& x) {
    auto reply =
        xharness::adoptReply(xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));
    return reply ? reply->focus : XCB_NONE;
}

class SettingsWindowTest : public AppTest {
protected:
    // Starts `corvane` again, as a user would, and waits until the running
    // one's settings window is the active window.
    xcb_window_t openSettingsBySecondLaunch() {
        const xharness::CommandResult again = app().run({});
        EXPECT_TRUE(again.status && again.status->exited && again.status->code == 0) << again.err;
        std::optional<xcb_window_t> shown;
        const bool active = x().waitFor([&] {
            const auto windows = settingsWindows(x());
            if (windows.size() != 1) return false;
            shown = windows.front();
            // The window manager announces the active window around the
            // time it moves the input focus; keys typed before the focus
            // arrives would go elsewhere.
            return x().activeWindow() == shown && inputFocus(x()) == *shown;
        });
        EXPECT_TRUE(active) << "no active settings window with the keyboard focus";
        return shown.value_or(XCB_NONE);
    }

    // Focus is on the first row (Left Half) when the window opens; Space
    // presses its record button, as a keyboard user would.
    void recordOnFirstRow(const std::string& chord) {
        server().keyboard().press("Space");
        ASSERT_TRUE(waitForKeyboardHeld(x(), true)) << "recording did not take the keyboard";
        server().keyboard().press(chord);
        ASSERT_TRUE(waitForKeyboardHeld(x(), false)) << "recording did not end";
    }

    // Quits the app and starts it again over the same settings files.
    void restartApp() {
        std::map<std::filesystem::path, std::string> files;
        const auto home = app().configHome();
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            files[std::filesystem::relative(entry.path(), home)] = bytes.str();
        }
        const xharness::ExitStatus stopped = app().stop();
        ASSERT_TRUE(stopped.exited) << xharness::describe(stopped);
        app_ = std::make_unique<xharness::CorvaneProcess>(*corvaneBinary(), server(),
                                                          xharness::CorvaneOptions{files});
    }

    std::optional<Config> storedConfig() {
        std::ifstream file(app().configHome() / "corvane" / "config");
        if (!file) return std::nullopt;
        std::stringstream bytes;
        bytes << file.rdbuf();
        return Config::decodeIfReadable(bytes.str());
    }
};

TEST_F(SettingsWindowTest, SecondLaunchBringsTheOneWindowToTheCurrentDesktop) {
    const xcb_window_t first = openSettingsBySecondLaunch();
    ASSERT_NE(first, XCB_NONE);
    EXPECT_EQ(x().windowDesktop(first), x().currentDesktop());

    // The user goes to another desktop and launches Corvane again.
    xcb_ewmh_request_change_current_desktop(x().ewmh(), 0, 1, XCB_CURRENT_TIME);
    x().sync();
    ASSERT_TRUE(x().waitFor([&] { return x().currentDesktop() == 1u; }));
    const xcb_window_t again = openSettingsBySecondLaunch();
    EXPECT_EQ(again, first) << "one window, created once";
    EXPECT_TRUE(x().waitFor([&] { return x().windowDesktop(first) == 1u; }))
        << "still on desktop " << x().windowDesktop(first).value_or(99);
    EXPECT_EQ(x().currentDesktop(), 1u);
}

TEST_F(SettingsWindowTest, EscapeWhileRecordingGivesEveryShortcutBack) {
    ASSERT_NE(openSettingsBySecondLaunch(), XCB_NONE);
    const auto leftHalf = xharness::Chord::parse("Ctrl+Alt+Super+Left");
    // The first row's record button has the focus; Space presses it.
    server().keyboard().press("Space");
    ASSERT_TRUE(waitForKeyboardHeld(x(), true)) << "recording did not take the keyboard";
    x().sync();

    server().keyboard().press("Escape");
    ASSERT_TRUE(waitForKeyboardHeld(x(), false));
    EXPECT_FALSE(server().keyboard().grab(leftHalf)) << "the app holds its shortcut again";
    EXPECT_FALSE(storedConfig()) << "nothing changed, nothing written";
}

TEST_F(SettingsWindowTest, GoingToAnotherWindowWhileRecordingGivesTheKeyboardBack) {
    xharness::ClientWindow* window = openWindow();
    ASSERT_NE(openSettingsBySecondLaunch(), XCB_NONE);
    server().keyboard().press("Space");
    ASSERT_TRUE(waitForKeyboardHeld(x(), true)) << "recording did not take the keyboard";

    window->activate();
    ASSERT_TRUE(x().waitFor([&] { return window->isActive(); }));
    ASSERT_TRUE(waitForKeyboardHeld(x(), false)) << "the keyboard stayed with the settings window";
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Left", *window,
                                    Geometry::frame(Placement::leftHalf, primaryVisible(), 0)))
        << "the shortcuts are back where the user went";
    EXPECT_FALSE(storedConfig()) << "nothing changed, nothing written";
}

TEST_F(SettingsWindowTest, RecordedShortcutMovesWindowsAtOnceAndOutlivesARestart) {
    ASSERT_NE(openSettingsBySecondLaunch(), XCB_NONE);
    recordOnFirstRow("Ctrl+Alt+Super+K");
    const auto stored = storedConfig();
    ASSERT_TRUE(stored) << "the recording was not saved";
    const Shortcut& left = stored->shortcuts.at(Placement::leftHalf);
    EXPECT_EQ(left.keyCode, 40u);
    EXPECT_EQ(left.modifiers, Shortcut::control | Shortcut::option | Shortcut::command);
    EXPECT_EQ(left.key, "K");

    // Another application in front: the new combination moves it, the old
    // one is free for anyone and moves nothing.
    xharness::ClientWindow* window = openWindow();
    ASSERT_TRUE(x().waitFor([&] { return window->isActive(); }));
    const Rect leftHalf = Geometry::frame(Placement::leftHalf, primaryVisible(), 0);
    const Rect rightHalf = Geometry::frame(Placement::rightHalf, primaryVisible(), 0);
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window, rightHalf));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+K", *window, leftHalf));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window, rightHalf));
    const auto oldChord = xharness::Chord::parse("Ctrl+Alt+Super+Left");
    server().keyboard().press(oldChord);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(expectFrame(*window, rightHalf)) << "the old shortcut still moves the window";
    EXPECT_TRUE(server().keyboard().grab(oldChord)) << "the app still holds the old shortcut";
    server().keyboard().ungrab(oldChord);

    restartApp();
    const auto again = storedConfig();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->shortcuts.at(Placement::leftHalf), left) << "the start rewrote the settings";
    window->activate();
    ASSERT_TRUE(x().waitFor([&] { return window->isActive(); }));
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+K", *window, leftHalf));
}

class SettingsWithStockBindings : public SettingsWindowTest {
protected:
    xharness::XServerOptions serverOptions() override {
        xharness::XServerOptions options;
        options.windowManagerConfig = kStockOpenboxConfig;
        return options;
    }
    // Previous Display gives up Ctrl+Alt+Left, so that a row recording it
    // tells of the refusal rather than of a shared shortcut.
    xharness::CorvaneOptions appOptions() override {
        Config config = Config::defaults();
        config.shortcuts.erase(Placement::previousDisplay);
        return {settingsFiles(config)};
    }
    void SetUp() override {
        if (!std::filesystem::exists(kStockOpenboxConfig))
            GTEST_SKIP() << "openbox's stock configuration is missing";
        SettingsWindowTest::SetUp();
    }
};

TEST_F(SettingsWithStockBindings, RecordingTakesTheWindowManagersOwnCombination) {
    allowLogLines();  // openbox holds Ctrl+Alt+arrows: those grabs are refused
    // From desktop 2, openbox's stock Ctrl+Alt+Left would go to desktop 1.
    xcb_ewmh_request_change_current_desktop(x().ewmh(), 0, 1, XCB_CURRENT_TIME);
    x().sync();
    ASSERT_TRUE(x().waitFor([&] { return x().currentDesktop() == 1u; }));
    ASSERT_NE(openSettingsBySecondLaunch(), XCB_NONE);

    recordOnFirstRow("Ctrl+Alt+Left");
    EXPECT_EQ(x().currentDesktop(), 1u) << "the window manager saw the combination";
    const auto stored = storedConfig();
    ASSERT_TRUE(stored);
    const Shortcut& left = stored->shortcuts.at(Placement::leftHalf);
    EXPECT_EQ(left.keyCode, 123u);
    EXPECT_EQ(left.modifiers, Shortcut::control | Shortcut::option);
    EXPECT_EQ(left.key, "←");

    // Outside recording the window manager keeps it: the row says so, and
    // the status line lists it.
    const auto now = status(app());
    ASSERT_TRUE(now);
    EXPECT_NE(std::find(now->unavailable.begin(), now->unavailable.end(), "leftHalf"),
              now->unavailable.end());
}

}  // namespace
}  // namespace corvane::e2e
