// The real app on a headless KWin 5.27 with two virtual outputs side by
// side: Corvane loads its script into KWin, keys are typed through KWin's
// fake input (so they take KWin's own shortcut path), frames and desktops
// are read back from KWin.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "core/config.hpp"
#include "core/geometry.hpp"
#include "tools/kwin_session/kwin_session.hpp"
#include "tools/wayland_session/private_bus.hpp"
#include "tools/wayland_session/session_user.hpp"

namespace corvane::kwinharness {
namespace {

const Rect kFirst{0, 0, 1440, 900};
const Rect kSecond{1440, 0, 1440, 900};

std::string text(const Rect& r) {
    return std::to_string(static_cast<int>(r.x)) + "," + std::to_string(static_cast<int>(r.y)) + " " +
           std::to_string(static_cast<int>(r.width)) + "x" + std::to_string(static_cast<int>(r.height));
}

class KWinEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = KWinSession::unavailableReason(); !reason.empty()) GTEST_SKIP() << reason;
        session_ = std::make_unique<KWinSession>();
    }
    void TearDown() override {
        if (HasFailure() && app_) std::cerr << "Corvane's log:\n" << app_->stderrText();
        if (HasFailure() && session_) std::cerr << "KWin's log:\n" << session_->log();
        app_.reset();
        session_.reset();
    }
    void startSession(KWinSession::Options options) {
        session_.reset();
        session_ = std::make_unique<KWinSession>(std::move(options));
    }
    void startApp(const std::string& configText = {}) {
        app_ = std::make_unique<KWinCorvane>(*session_, configText);
    }

    // Presses keys and waits until the window has `expected`.
    ::testing::AssertionResult pressAndExpect(const std::string& keys, const std::string& title,
                                              const Rect& expected) {
        session_->press({keys});
        const bool placed = session_->waitFor([&](const KWinState& s) {
            const auto* w = s.window(title);
            return w && w->frame == expected;
        });
        if (placed) return ::testing::AssertionSuccess();
        const auto* w = session_->state().window(title);
        return ::testing::AssertionFailure() << keys << ": expected " << text(expected) << ", got "
                                             << (w ? text(w->frame) : std::string("no window"));
    }

    std::unique_ptr<KWinSession> session_;
    std::unique_ptr<KWinCorvane> app_;
};

Rect frame(Placement placement, double gap = 0, const Rect& area = kFirst) {
    return Geometry::frame(placement, area, gap);
}

TEST_F(KWinEndToEnd, TheHarnessDrivesKWinsOwnShortcuts) {
    const auto window = session_->openWindow("Notes");
    const auto state = session_->state();
    ASSERT_EQ(state.screens.size(), 2u);
    EXPECT_EQ(state.screens[1], kSecond);
    // KWin's own Quick Tile Left, typed through fake input.
    EXPECT_TRUE(pressAndExpect("leftmeta+left", "Notes", Rect{0, 0, 720, 900}));
}

TEST_F(KWinEndToEnd, HalvesQuartersFullScreenAndRestore) {
    startApp();
    const auto window = session_->openWindow("Notes");
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+left", "Notes", frame(Placement::leftHalf)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+right", "Notes", frame(Placement::rightHalf)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+up", "Notes", frame(Placement::topHalf)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+down", "Notes", frame(Placement::bottomHalf)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftshift+left", "Notes", frame(Placement::topLeft)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftshift+up", "Notes", frame(Placement::topRight)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftshift+down", "Notes", frame(Placement::bottomLeft)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftshift+right", "Notes", frame(Placement::bottomRight)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+m", "Notes", frame(Placement::maximize)));
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+m", "Notes", frame(Placement::bottomRight)))
        << "the second press restores";

    const auto status = app_->run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"kwin\""), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("\"unavailable\":[]"), std::string::npos) << status.out;
    EXPECT_TRUE(app_->isAlive());
}

TEST_F(KWinEndToEnd, ActionsFromTheCommandLineGoThroughTheWokenScript) {
    startApp();
    const auto window = session_->openWindow("Notes");
    // No press brings the state: Corvane wakes its script to read and write.
    const auto placed = app_->run({"--action", "rightHalf"});
    EXPECT_TRUE(placed.status && placed.status->exited && placed.status->code == 0) << placed.err;
    EXPECT_TRUE(session_->waitFor([](const KWinState& s) {
        const auto* w = s.window("Notes");
        return w && w->frame == frame(Placement::rightHalf);
    }));
    const auto sent = app_->run({"--action", "follow2"});
    EXPECT_TRUE(sent.status && sent.status->exited && sent.status->code == 0) << sent.err;
    EXPECT_TRUE(session_->waitFor([](const KWinState& s) {
        const auto* w = s.window("Notes");
        return w && w->desktop == 2 && s.currentDesktop == 2;
    }));
}

TEST_F(KWinEndToEnd, StoredGapSurroundsTheTiles) {
    Config config = Config::defaults();
    config.gap = 12;
    startApp(config.encoded());
    const auto window = session_->openWindow("Notes");
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+left", "Notes", frame(Placement::leftHalf, 12)));
    EXPECT_TRUE(
        pressAndExpect("leftctrl+leftalt+leftshift+right", "Notes", frame(Placement::bottomRight, 12)));
}

TEST_F(KWinEndToEnd, NextAndPreviousDisplayMoveTheWindowBetweenOutputs) {
    startApp();
    const auto window = session_->openWindow("Notes");
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+left", "Notes", frame(Placement::leftHalf)));
    // The frame keeps its place relative to the display.
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+right", "Notes", frame(Placement::leftHalf, 0, kSecond)));
    EXPECT_EQ(session_->state().window("Notes")->screen, 1);
    EXPECT_TRUE(
        pressAndExpect("leftctrl+leftalt+leftmeta+right", "Notes", frame(Placement::rightHalf, 0, kSecond)))
        << "placements use the second output's own area";
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+left", "Notes", frame(Placement::rightHalf)));
    EXPECT_EQ(session_->state().window("Notes")->screen, 0);
}

TEST_F(KWinEndToEnd, SendAndFollowToDesktopsThatDoNotExistYet) {
    startApp();
    const auto other = session_->openWindow("Other");
    const auto notes = session_->openWindow("Notes");
    ASSERT_EQ(session_->state().desktops, 1);

    // Send: the window goes to a desktop made for it; the user stays.
    session_->press({"leftctrl+leftalt+3"});
    EXPECT_TRUE(session_->waitFor([](const KWinState& s) {
        const auto* w = s.window("Notes");
        const auto* o = s.window("Other");
        return w && w->desktop == 3 && s.desktops == 3 && s.currentDesktop == 1 && o && o->desktop == 1;
    })) << "send to 3";

    // Follow (Shift and a digit: KWin sees the shifted symbol): the focused
    // window and the user go to desktop 5 together, the window focused.
    const auto later = session_->openWindow("Later");
    session_->press({"leftctrl+leftalt+leftshift+5"});
    EXPECT_TRUE(session_->waitFor([](const KWinState& s) {
        const auto* w = s.window("Later");
        const auto* active = s.active();
        return w && w->desktop == 5 && s.desktops == 5 && s.currentDesktop == 5 && active &&
               active->title == "Later";
    })) << "follow to 5";
    EXPECT_EQ(session_->state().window("Notes")->desktop, 3);
    EXPECT_TRUE(app_->isAlive()) << app_->stderrText();
}

TEST_F(KWinEndToEnd, AKeyKWinHoldsIsReportedUnavailableAndLeftToKWin) {
    // Meta+Left is KWin's own Quick Tile Left.
    Config config = Config::defaults();
    config.shortcuts[Placement::leftHalf] = Shortcut{123, Shortcut::command, "←"};
    startApp(config.encoded());
    const auto window = session_->openWindow("Notes");
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+right", "Notes", frame(Placement::rightHalf)))
        << "the other shortcuts work";
    const auto status = app_->run({"--status"});
    EXPECT_NE(status.out.find("\"unavailable\":[\"leftHalf\"]"), std::string::npos) << status.out;
    EXPECT_TRUE(pressAndExpect("leftmeta+left", "Notes", Rect{0, 0, 720, 900})) << "KWin still tiles";
}

TEST_F(KWinEndToEnd, AStaleScriptIsReplacedAndQuittingUnloadsOurs) {
    // What a crashed run leaves behind: a script under our name.
    const auto stale = session_->directory() / "stale.js";
    std::ofstream(stale) << "print('stale script');\n";
    session_->give(stale);
    ASSERT_TRUE(session_->call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.loadScript",
                               {stale.string(), "corvane"}));
    startApp();
    const auto window = session_->openWindow("Notes");
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+left", "Notes", frame(Placement::leftHalf)));

    const auto ended = app_->terminate();
    ASSERT_TRUE(ended);
    EXPECT_TRUE(ended->exited && ended->code == 0) << xharness::describe(*ended);
    const auto loaded =
        session_->call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.isScriptLoaded", {"corvane"});
    ASSERT_TRUE(loaded);
    EXPECT_NE(loaded->find("false"), std::string::npos) << *loaded;
    // Nor are its shortcuts left in KWin's registry, holding their keys.
    const auto names = session_->call("org.kde.kglobalaccel", "/component/kwin",
                                      "org.kde.kglobalaccel.Component.shortcutNames");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->find("corvane-"), std::string::npos) << *names;
}

TEST_F(KWinEndToEnd, FollowWithShiftWorksOnTheUsersLayout) {
    // Shift+3 types § on a German keyboard: KWin sees Ctrl+Alt+§.
    KWinSession::Options german;
    german.kxkbrc = "[Layout]\nLayoutList=de\nUse=true\n";
    startSession(german);
    startApp();
    const auto window = session_->openWindow("Notes");
    session_->press({"leftctrl+leftalt+leftshift+3"});
    EXPECT_TRUE(session_->waitFor([](const KWinState& s) {
        const auto* w = s.window("Notes");
        return w && w->desktop == 3 && s.currentDesktop == 3;
    }));
    // A session ending right after a desktop move: Corvane still checks the
    // move through its script, and quits at once all the same.
    const auto ended = app_->terminate();
    ASSERT_TRUE(ended);
    EXPECT_TRUE(ended->exited && ended->code == 0) << xharness::describe(*ended);
}

TEST_F(KWinEndToEnd, ANewLayoutInSystemSettingsMovesTheShiftedDigits) {
    startApp();
    const auto window = session_->openWindow("Notes");
    constexpr int ctrlAlt = 0x04000000 | 0x08000000;
    ASSERT_TRUE(session_->waitForShortcutKeyCode("corvane-follow3", ctrlAlt | '#'));
    // What System Settings does: write kxkbrc, then announce it.
    const auto kxkbrc = session_->directory() / "config" / "kxkbrc";
    std::ofstream(kxkbrc) << "[Layout]\nLayoutList=de\nUse=true\n";
    session_->give(kxkbrc);
    xharness::SpawnOptions announce;
    announce.argv = session_->asUser({"gdbus", "emit", "--session", "--object-path", "/Layouts", "--signal",
                                      "org.kde.keyboard.reloadConfig"});
    ASSERT_EQ(xharness::runToCompletion(announce, session_->directory(), KWinSession::timeout).status->code,
              0);
    ASSERT_TRUE(session_->waitForShortcutKeyCode("corvane-follow3", ctrlAlt | 0xa7)) << "Ctrl+Alt+§";
    session_->press({"leftctrl+leftalt+leftshift+3"});
    EXPECT_TRUE(session_->waitFor([](const KWinState& s) {
        const auto* w = s.window("Notes");
        return w && w->desktop == 3 && s.currentDesktop == 3;
    }));
}

TEST_F(KWinEndToEnd, SwitchingOffLetsGoOfTheKeysInKWinAndOnTakesThemBack) {
    startApp();
    const auto window = session_->openWindow("Notes");
    ASSERT_TRUE(app_->run({"--disable"}).status->code == 0);
    // The script keeps the shortcut (KWin scripts cannot drop one), without a key.
    EXPECT_TRUE(session_->waitForShortcutKey("corvane-left-half", KWinSession::timeout, false));
    session_->press({"leftctrl+leftalt+leftmeta+left"});
    ASSERT_TRUE(app_->run({"--enable"}).status->code == 0);
    ASSERT_TRUE(session_->waitForShortcutKey("corvane-left-half"));
    EXPECT_NE(session_->state().window("Notes")->frame, frame(Placement::leftHalf))
        << "the key did nothing while off";
    EXPECT_TRUE(pressAndExpect("leftctrl+leftalt+leftmeta+left", "Notes", frame(Placement::leftHalf)));
}

TEST(KWinMissing, APlasmaSessionWhoseKWinDoesNotAnswerGetsOneClearLine) {
    std::string whyNot;
    const auto user = wayland::SessionUser::forTests(whyNot);
    if (!user) GTEST_SKIP() << whyNot;
    xharness::TempDir dir("corvane-nokwin");
    user->give(dir.path());
    const std::map<std::string, std::string> home{{"HOME", dir.path().string()},
                                                  {"XDG_RUNTIME_DIR", dir.path().string()},
                                                  {"XDG_CONFIG_HOME", (dir.path() / "config").string()}};
    wayland::PrivateBus bus(*user, dir.path(), "session", home);
    auto environment = home;
    environment.insert({{"DBUS_SESSION_BUS_ADDRESS", bus.address()},
                        {"XDG_SESSION_TYPE", "wayland"},
                        {"XDG_CURRENT_DESKTOP", "KDE"},
                        {"WAYLAND_DISPLAY", "wayland-none"},
                        {"QT_QPA_PLATFORM", "offscreen"}});
    xharness::SpawnOptions spawn;
    spawn.argv = user->wrap({wayland::reachableCopy(*user, CORVANE_BINARY, dir.path()).string()}, environment,
                            dir.path());
    const auto result = xharness::runToCompletion(spawn, dir.path(), std::chrono::seconds(20));
    ASSERT_TRUE(result.status && result.status->exited);
    EXPECT_NE(result.status->code, 0);
    EXPECT_NE(result.err.find("corvane: cannot load Corvane's script into KWin: KWin does not answer"),
              std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace corvane::kwinharness
