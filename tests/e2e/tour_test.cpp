// The guided tour on a real desktop: a first launch opens it with every
// shortcut let go; typed keys take it to the end, after which the shortcuts
// work and later launches open no tour; closing it instead gives the
// shortcuts back and the next launch opens it again.

#include <gtest/gtest.h>
#include <xcb/xcb_ewmh.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

const std::string tourTitle = "Take the Corvane Tour";

std::string utf8Name(xharness::XConnection& x, xcb_window_t window) {
    xcb_ewmh_get_utf8_strings_reply_t name{};
    if (!xcb_ewmh_get_wm_name_reply(x.ewmh(), xcb_ewmh_get_wm_name(x.ewmh(), window), &name, nullptr))
        return {};
    std::string text(name.strings, name.strings_len);
    xcb_ewmh_get_utf8_strings_reply_wipe(&name);
    return text;
}

std::optional<std::string> fileText(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class FirstRun : public AppTest {
protected:
    xharness::CorvaneOptions appOptions() override {
        xharness::CorvaneOptions options{settingsFiles()};
        options.tourCompleted = false;
        options.configFiles.insert(carried_.begin(), carried_.end());
        return options;
    }

    // The managed window with the tour's title; absent while there is none.
    std::optional<xcb_window_t> tourWindow() {
        for (const xcb_window_t window : x().clientList()) {
            if (utf8Name(x(), window) == tourTitle) return window;
        }
        return std::nullopt;
    }

    ::testing::AssertionResult waitForActiveTour() {
        if (x().waitFor([&] {
                const auto tour = tourWindow();
                return tour && x().activeWindow() == tour;
            }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the tour window never became active";
    }

    // Waits until the active tour holds the keyboard: then no passive grab
    // (the window manager's bindings) can take a key. Taking the keyboard
    // sends no event anyone else can wait on, so this asks the server, in
    // short waits on the events that do come, until a deadline.
    ::testing::AssertionResult waitForTourHoldingKeys() {
        if (auto result = waitForActiveTour(); !result) return result;
        return waitForKeyboardHeld(true);
    }

    ::testing::AssertionResult waitForKeyboardHeld(bool held) {
        const auto deadline = std::chrono::steady_clock::now() + xharness::XConnection::defaultTimeout;
        while (keyboardHeldElsewhere() != held) {
            if (std::chrono::steady_clock::now() > deadline)
                return ::testing::AssertionFailure()
                       << "the keyboard was " << (held ? "never" : "still") << " held";
            x().waitFor([] { return false; }, std::chrono::milliseconds(20));
        }
        return ::testing::AssertionSuccess();
    }

    // Tries to grab the keyboard: refused while another client holds it.
    bool keyboardHeldElsewhere() {
        auto reply = xharness::adoptReply(
            xcb_grab_keyboard_reply(x().get(),
                                    xcb_grab_keyboard(x().get(), 0, x().root(), XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr));
        if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) {
            xcb_ungrab_keyboard(x().get(), XCB_CURRENT_TIME);
            x().sync();
            return false;
        }
        return reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    }

    // Each lesson's chord, then Return for Continue and Finish Tour.
    void takeTheTour() {
        for (const char* key :
             {"Ctrl+Alt+Super+Left", "Return", "Ctrl+Alt+Shift+Up", "Return", "Ctrl+Alt+Shift+3", "Return"}) {
            server().keyboard().press(key);
        }
    }

    ::testing::AssertionResult waitForTourGone() {
        if (x().waitFor([&] { return !tourWindow(); })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the tour window is still there";
    }

    std::optional<std::string> tourCompletedFile() {
        return fileText(app().configHome() / "corvane" / "tourCompleted");
    }

    // Quits and starts again with the settings the last run left behind.
    void restart() {
        carried_.clear();
        for (const char* key : {"tourCompleted", "enabled", "config"}) {
            if (auto text = fileText(app().configHome() / "corvane" / key))
                carried_[std::string("corvane/") + key] = *text;
        }
        ASSERT_TRUE(app().stop().exited);
        startApp();
    }

    // True when no client holds the chord: this connection could take it.
    bool chordIsFree(const std::string& text) {
        const xharness::Chord chord = xharness::Chord::parse(text);
        if (!server().keyboard().grab(chord)) return false;
        server().keyboard().ungrab(chord);
        return true;
    }

    std::map<std::filesystem::path, std::string> carried_;
};

TEST_F(FirstRun, TypedKeysTakeTheTourToTheEndAndTheShortcutsThenWork) {
    ASSERT_TRUE(waitForActiveTour());
    std::optional<Status> now = status(app());
    ASSERT_TRUE(now);
    EXPECT_TRUE(now->tourOpen);
    EXPECT_TRUE(now->enabled);

    // While the tour runs the shortcut is nobody's: it cannot move a window.
    // Another window made active: the tour lets go of the keyboard.
    auto* window = openWindow();
    window->activate();
    EXPECT_TRUE(waitForKeyboardHeld(false));
    const auto before = window->frame();
    EXPECT_TRUE(chordIsFree("Ctrl+Alt+Super+Left"));
    server().keyboard().press("Ctrl+Alt+Super+Left");
    ASSERT_TRUE(status(app()));
    EXPECT_EQ(before, window->frame());

    // Back to the tour: each lesson's chord, then Return for Continue / Finish Tour.
    x().requestActivation(*tourWindow());
    ASSERT_TRUE(waitForTourHoldingKeys());
    takeTheTour();
    ASSERT_TRUE(waitForTourGone());
    EXPECT_EQ("true\n", tourCompletedFile());
    now = status(app());
    ASSERT_TRUE(now);
    EXPECT_FALSE(now->tourOpen);

    window->activate();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window,
                                    Geometry::frame(Placement::rightHalf, primaryVisible(), 0)));

    restart();
    now = status(app());
    ASSERT_TRUE(now);
    EXPECT_FALSE(now->tourOpen);
    EXPECT_FALSE(tourWindow());
    window->activate();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Left", *window,
                                    Geometry::frame(Placement::leftHalf, primaryVisible(), 0)));
}

TEST_F(FirstRun, ClosingTheTourGivesTheShortcutsBackAndTheNextLaunchOpensItAgain) {
    ASSERT_TRUE(waitForTourHoldingKeys());
    // Halfway through, then the close button (the window manager's close request).
    server().keyboard().press("Ctrl+Alt+Super+Down");
    server().keyboard().press("Return");
    xcb_ewmh_request_close_window(x().ewmh(), 0, *tourWindow(), XCB_CURRENT_TIME,
                                  XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    x().sync();
    ASSERT_TRUE(waitForTourGone());
    std::optional<Status> now = status(app());
    ASSERT_TRUE(now);
    EXPECT_FALSE(now->tourOpen);
    EXPECT_FALSE(tourCompletedFile());

    auto* window = openWindow();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Up", *window,
                                    Geometry::frame(Placement::topHalf, primaryVisible(), 0)));

    restart();
    ASSERT_TRUE(waitForActiveTour());
    now = status(app());
    ASSERT_TRUE(now);
    EXPECT_TRUE(now->tourOpen);
    EXPECT_TRUE(chordIsFree("Ctrl+Alt+Super+Up"));
}

// A window manager that binds the lesson chords itself (as stock
// configurations bind Ctrl+Alt+arrows, and some desktops Super) does not get
// them while the tour is active.
class FirstRunUnderBindings : public FirstRun {
protected:
    xharness::XServerOptions serverOptions() override {
        xharness::XServerOptions options;
        options.windowManager = false;
        return options;
    }
    void beforeAppStarts() override {
        const std::string toDesktop2 = "<action name=\"GoToDesktop\"><to>2</to></action>";
        std::string bindings;
        for (const char* key : {"C-A-W-Left", "C-A-S-Up", "C-A-S-3", "Return"}) {
            bindings += std::string("<keybind key=\"") + key + "\">" + toDesktop2 + "</keybind>";
        }
        const auto config = server().scratch() / "bound-rc.xml";
        std::ofstream(config) << xharness::openboxConfig(2, bindings);
        server().startWindowManager(config);
    }
};

TEST_F(FirstRunUnderBindings, LessonKeysReachTheTourNotTheWindowManager) {
    ASSERT_TRUE(waitForTourHoldingKeys());
    takeTheTour();
    ASSERT_TRUE(waitForTourGone());
    EXPECT_EQ("true\n", tourCompletedFile());
    EXPECT_EQ(0u, x().currentDesktop());
}

// Without a tray (GNOME by default, many tiling setups) the menu's tour and
// Quit are reached from the command line.
class FromTheCommandLine : public FirstRun {
protected:
    xharness::CorvaneOptions appOptions() override { return xharness::CorvaneOptions{settingsFiles()}; }
};

TEST_F(FromTheCommandLine, TourOpensTheTourAndQuitEndsCorvane) {
    std::optional<Status> now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_FALSE(now->tourOpen);
    const xharness::CommandResult tour = app().run({"--tour"});
    ASSERT_TRUE(tour.status && tour.status->exited && tour.status->code == 0) << tour.err;
    ASSERT_TRUE(waitForActiveTour());
    now = status(app());
    ASSERT_TRUE(now.has_value());
    EXPECT_TRUE(now->tourOpen);

    expectExit();
    const xharness::CommandResult quit = app().run({"--quit"});
    ASSERT_TRUE(quit.status && quit.status->exited && quit.status->code == 0) << quit.err;
    const auto ended = app().waitForExit(std::chrono::seconds(5));
    ASSERT_TRUE(ended.has_value()) << "corvane still runs after --quit";
    EXPECT_TRUE(ended->exited && ended->code == 0) << xharness::describe(*ended);
}

}  // namespace
}  // namespace corvane::e2e
