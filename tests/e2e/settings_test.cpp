// The settings window of the real app on a real server: a second launch
// brings it to the desktop the user looks at, and recording a shortcut takes
// the keyboard from every other client, the window manager's own key
// bindings included, until the combination is in.

#include <gtest/gtest.h>
#include <xcb/xcb_ewmh.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

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
            return x().activeWindow() == shown;
        });
        EXPECT_TRUE(active) << "no active settings window";
        return shown.value_or(XCB_NONE);
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

class SettingsWithStockBindings : public SettingsWindowTest {
protected:
    xharness::XServerOptions serverOptions() override {
        xharness::XServerOptions options;
        options.windowManagerConfig = kStockOpenboxConfig;
        return options;
    }
    void SetUp() override {
        if (!std::filesystem::exists(kStockOpenboxConfig))
            GTEST_SKIP() << "openbox's stock configuration is missing";
        SettingsWindowTest::SetUp();
    }
};

TEST_F(SettingsWithStockBindings, RecordingTakesTheWindowManagersOwnCombination) {
    allowLogLines();  // openbox holds Ctrl+Alt+arrows: those grabs are refused
    ASSERT_NE(openSettingsBySecondLaunch(), XCB_NONE);
    const auto desktop = x().currentDesktop();

    server().keyboard().press("Space");
    ASSERT_TRUE(waitForKeyboardHeld(x(), true)) << "recording did not take the keyboard";
    // openbox's stock binding for "next desktop".
    server().keyboard().press("Ctrl+Alt+Right");
    ASSERT_TRUE(waitForKeyboardHeld(x(), false)) << "recording did not end";

    EXPECT_EQ(x().currentDesktop(), desktop) << "the window manager saw the combination";
    const auto stored = storedConfig();
    ASSERT_TRUE(stored);
    const Shortcut& left = stored->shortcuts.at(Placement::leftHalf);
    EXPECT_EQ(left.keyCode, 124u);
    EXPECT_EQ(left.modifiers, Shortcut::control | Shortcut::option);

    // Outside recording the window manager keeps it: the row says so.
    const auto now = status(app());
    ASSERT_TRUE(now);
    EXPECT_NE(std::find(now->unavailable.begin(), now->unavailable.end(), "leftHalf"),
              now->unavailable.end());
}

}  // namespace
}  // namespace corvane::e2e
