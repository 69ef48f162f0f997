// The real app on a headless GNOME Shell 43 with our extension: every key
// goes in through mutter's own input path, every frame is read back from the
// shell.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>

#include "core/config.hpp"
#include "core/geometry.hpp"
#include "core/window_action.hpp"
#include "tests/gnome/gnome_session.hpp"

namespace corvane::gnome::testing {
namespace {

#define SKIP_WITHOUT_GNOME() \
    if (const auto why = whyGnomeCannotRun()) GTEST_SKIP() << *why;

// GNOME's own bindings on the keys of our default quarters and display moves.
const std::vector<std::string> kTakenByGnome{"move-to-workspace-left",   "move-to-workspace-right",
                                             "move-to-workspace-up",     "move-to-workspace-down",
                                             "switch-to-workspace-left", "switch-to-workspace-right"};

GnomeOptions session(bool sessionDefaults, std::vector<std::string> freeKeybindings) {
    GnomeOptions options;
    options.sessionDefaults = sessionDefaults;
    options.freeKeybindings = std::move(freeKeybindings);
    return options;
}

const std::vector<unsigned> kHalf{Key::ctrl, Key::alt, Key::super};
const std::vector<unsigned> kQuarter{Key::ctrl, Key::alt, Key::shift};

std::vector<unsigned> with(std::vector<unsigned> modifiers, unsigned key) {
    modifiers.push_back(key);
    return modifiers;
}

std::string text(const Rect& r) {
    return std::to_string(int(r.x)) + "," + std::to_string(int(r.y)) + " " + std::to_string(int(r.width)) +
           "x" + std::to_string(int(r.height));
}

::testing::AssertionResult pressAndExpect(GnomeSession& gnome, const std::vector<unsigned>& keys,
                                          const std::string& title, const Rect& expected) {
    gnome.press(keys);
    if (gnome.waitFor([&](const ShellState& s) {
            const ShellWindow* w = s.window(title);
            return w && w->frame == expected;
        }))
        return ::testing::AssertionSuccess();
    const auto s = gnome.state();
    const ShellWindow* w = s ? s->window(title) : nullptr;
    return ::testing::AssertionFailure()
           << "expected " << text(expected) << ", got " << (w ? text(w->frame) : std::string("no window"));
}

Rect primaryArea(GnomeSession& gnome) {
    const auto s = gnome.state();
    return s && !s->workAreas.empty() ? s->workAreas.front() : Rect{};
}

TEST(GnomeEndToEnd, HalvesQuartersFullScreenAndRestorePlaceTheWindowExactly) {
    SKIP_WITHOUT_GNOME();
    GnomeSession gnome(session(true, kTakenByGnome));
    GnomeCorvane app(gnome);
    gnome.openWindow("Notes");
    const Rect area = primaryArea(gnome);
    const auto frame = [&](Placement p) { return Geometry::frame(p, area, 0); };

    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::left), "Notes", frame(Placement::leftHalf)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::right), "Notes", frame(Placement::rightHalf)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::up), "Notes", frame(Placement::topHalf)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::down), "Notes", frame(Placement::bottomHalf)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kQuarter, Key::left), "Notes", frame(Placement::topLeft)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kQuarter, Key::up), "Notes", frame(Placement::topRight)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kQuarter, Key::down), "Notes", frame(Placement::bottomLeft)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kQuarter, Key::right), "Notes", frame(Placement::bottomRight)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::m), "Notes", frame(Placement::maximize)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::m), "Notes", frame(Placement::bottomRight)))
        << "the second press restores";

    const auto status = app.run({"--status"});
    EXPECT_NE(status.out.find("\"backend\":\"gnome\""), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("\"unavailable\":[]"), std::string::npos) << status.out;
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

TEST(GnomeEndToEnd, StoredGapSurroundsTheTiles) {
    SKIP_WITHOUT_GNOME();
    GnomeSession gnome(session(true, kTakenByGnome));
    Config config = Config::defaults();
    config.gap = 12;
    GnomeCorvane app(gnome, config.encoded());
    gnome.openWindow("Notes");
    const Rect area = primaryArea(gnome);
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::left), "Notes",
                               Geometry::frame(Placement::leftHalf, area, 12)));
    EXPECT_TRUE(pressAndExpect(gnome, with(kQuarter, Key::right), "Notes",
                               Geometry::frame(Placement::bottomRight, area, 12)));
}

TEST(GnomeEndToEnd, DisplayMovesCrossTheTwoMonitorsAndBack) {
    SKIP_WITHOUT_GNOME();
    GnomeSession gnome(session(true, kTakenByGnome));
    GnomeCorvane app(gnome);
    gnome.openWindow("Notes");
    const auto onMonitor = [&](int monitor) {
        return gnome.waitFor([&](const ShellState& s) {
            const ShellWindow* w = s.window("Notes");
            if (!w || w->monitor != monitor) return false;
            const Rect& m = s.monitors[static_cast<std::size_t>(monitor)];
            return w->frame.x >= m.x && w->frame.y >= m.y && w->frame.maxX() <= m.maxX() &&
                   w->frame.maxY() <= m.maxY();
        });
    };
    gnome.press({Key::ctrl, Key::alt, Key::right});
    EXPECT_TRUE(onMonitor(1)) << "next display";
    gnome.press({Key::ctrl, Key::alt, Key::left});
    EXPECT_TRUE(onMonitor(0)) << "previous display";
}

TEST(GnomeEndToEnd, KeysGnomeHoldsAreReportedUnavailableAndTheRestWork) {
    SKIP_WITHOUT_GNOME();
    GnomeSession gnome;
    GnomeCorvane app(gnome);
    gnome.openWindow("Notes");
    // The report comes after the bindings; --status is answered in order.
    std::string status;
    for (int attempt = 0; attempt < 100; ++attempt) {
        status = app.run({"--status"}).out;
        if (status.find("nextDisplay") != std::string::npos) break;
    }
    for (const char* taken : {"\"topLeft\"", "\"topRight\"", "\"bottomLeft\"", "\"bottomRight\"",
                              "\"previousDisplay\"", "\"nextDisplay\""})
        EXPECT_NE(status.find(taken), std::string::npos) << taken << " in " << status;
    EXPECT_EQ(status.find("leftHalf"), std::string::npos) << status;
    // GNOME keeps its own key: Ctrl+Alt+Right still switches workspaces
    // (nothing of ours moves), and our halves still work.
    const Rect area = primaryArea(gnome);
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::left), "Notes",
                               Geometry::frame(Placement::leftHalf, area, 0)));
}

TEST(GnomeEndToEnd, SwitchingOffHandsTheKeysBackAndOnTakesThemAgain) {
    SKIP_WITHOUT_GNOME();
    GnomeSession gnome;
    GnomeCorvane app(gnome);
    gnome.openWindow("Notes");
    const Rect area = primaryArea(gnome);
    ASSERT_EQ(app.run({"--disable"}).status->code, 0);
    EXPECT_TRUE(gnome.waitFor([](const ShellState& s) { return s.bound.empty(); }))
        << "the extension lets go";
    ASSERT_EQ(app.run({"--enable"}).status->code, 0);
    const auto before = gnome.state();
    EXPECT_TRUE(gnome.waitFor([](const ShellState& s) { return s.bound.size() >= 20; }))
        << "bound again: " << (before ? before->bound.size() : 0);
    EXPECT_TRUE(pressAndExpect(gnome, with(kHalf, Key::right), "Notes",
                               Geometry::frame(Placement::rightHalf, area, 0)));
    // An action from the command line reaches the window off the press path.
    ASSERT_EQ(app.run({"--action", "leftHalf"}).status->code, 0);
    EXPECT_TRUE(gnome.waitFor([&](const ShellState& s) {
        const ShellWindow* w = s.window("Notes");
        return w && w->frame == Geometry::frame(Placement::leftHalf, area, 0);
    }));
}

// The first start in a GNOME session: the extension is copied for the user,
// its schema compiled, and it is enabled beside the user's other extensions;
// the next start finds it in place and asks for nothing.
TEST(GnomeEndToEnd, TheFirstStartInstallsAndEnablesTheExtensionOnce) {
    SKIP_WITHOUT_GNOME();
    GnomeOptions options;
    options.withExtension = false;
    options.otherExtensions = {"other@example.com"};
    GnomeSession gnome(options);
    const auto folder =
        gnome.directory() / "home/.local/share/gnome-shell/extensions/corvane@corvane.github.io";
    {
        GnomeCorvane app(gnome, {}, false);
        EXPECT_NE(app.stderrText().find("installed the GNOME Shell extension"), std::string::npos)
            << app.stderrText();
        EXPECT_TRUE(std::filesystem::exists(folder / "metadata.json"));
        EXPECT_TRUE(std::filesystem::exists(folder / "schemas/gschemas.compiled"));
        EXPECT_EQ(gnome.setting("org.gnome.shell", "enabled-extensions"),
                  "['other@example.com', 'corvane@corvane.github.io']\n");
        EXPECT_EQ(gnome.setting("org.gnome.shell", "disabled-extensions"), "@as []\n");
        const auto status = app.run({"--status"});
        EXPECT_NE(status.out.find("\"backend\":\"gnome\""), std::string::npos) << status.out;
    }
    GnomeCorvane again(gnome, {}, false);
    EXPECT_EQ(again.stderrText().find("installed the GNOME Shell extension"), std::string::npos)
        << again.stderrText();
}

TEST(WaylandSession, AnotherCompositorGetsOneLineAndItsOwnExitStatus) {
    const xharness::TempDir dir("corvane-wayland");
    xharness::SpawnOptions spawn;
    // Xwayland's DISPLAY is set too: Corvane must not start on it.
    spawn.argv = {"env",
                  "-i",
                  "XDG_SESSION_TYPE=wayland",
                  "XDG_CURRENT_DESKTOP=Hyprland",
                  "WAYLAND_DISPLAY=wayland-1",
                  "DISPLAY=:99",
                  "XDG_RUNTIME_DIR=" + dir.path().string(),
                  "HOME=" + dir.path().string(),
                  CORVANE_BINARY};
    const auto result = xharness::runToCompletion(spawn, dir.path(), std::chrono::milliseconds(10000));
    ASSERT_TRUE(result.status && result.status->exited);
    EXPECT_EQ(result.status->code, 3);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find("Hyprland"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("GNOME, Plasma and sway"), std::string::npos) << result.err;
}

// Both workspace settings: GNOME's session defaults (dynamic workspaces, only
// on the primary monitor) and four static workspaces on every monitor.
class GnomeDesktops : public ::testing::TestWithParam<bool> {};

TEST_P(GnomeDesktops, SendAndFollowToADesktopThatMustBeCreated) {
    SKIP_WITHOUT_GNOME();
    const bool dynamic = GetParam();
    GnomeSession gnome(session(dynamic, {}));
    GnomeCorvane app(gnome);
    gnome.openWindow("Stay");
    const std::string notes = gnome.openWindow("Notes");
    const auto before = gnome.state();
    ASSERT_TRUE(before);
    const int desktopsBefore = before->desktops;

    // Static: desktop 6 of 4 is created. Dynamic: GNOME keeps no empty
    // workspace between others, so the window lands on the first new one.
    const int wanted = dynamic ? 3 : 6;
    gnome.press({Key::ctrl, Key::alt, Key::shift, Key::digit(wanted)});
    const bool followed = gnome.waitFor([&](const ShellState& s) {
        const ShellWindow* w = s.window("Notes");
        const ShellWindow* stay = s.window("Stay");
        if (!w || !stay || s.focused != notes || w->desktop != s.current || w->desktop == stay->desktop)
            return false;
        return dynamic ? w->desktop == desktopsBefore - 1 : w->desktop == wanted - 1 && s.desktops >= wanted;
    });
    const auto after = gnome.state();
    EXPECT_TRUE(followed) << "Notes on "
                          << (after && after->window("Notes") ? after->window("Notes")->desktop : -9)
                          << ", showing " << (after ? after->current : -9) << " of "
                          << (after ? after->desktops : -9) << "\n"
                          << app.stderrText();

    // A send without following leaves the user where they are.
    const int shown = after ? after->current : 0;
    gnome.press({Key::ctrl, Key::alt, Key::digit(1)});
    EXPECT_TRUE(gnome.waitFor([&](const ShellState& s) {
        const ShellWindow* w = s.window("Notes");
        return w && w->desktop == 0 && s.current == shown;
    })) << app.stderrText();
    EXPECT_TRUE(app.isAlive()) << app.stderrText();
}

// Workspaces only on the primary monitor put windows elsewhere on every
// workspace: sending one brings it to the primary monitor. With workspaces
// on every monitor it stays where it is.
TEST_P(GnomeDesktops, AWindowOnTheSecondMonitorIsSentToo) {
    SKIP_WITHOUT_GNOME();
    const bool primaryOnly = GetParam();
    GnomeSession gnome(session(primaryOnly, {"switch-to-workspace-left", "switch-to-workspace-right"}));
    GnomeCorvane app(gnome);
    gnome.openWindow("Stay");
    gnome.openWindow("Side");
    gnome.press({Key::ctrl, Key::alt, Key::right});
    ASSERT_TRUE(gnome.waitFor([](const ShellState& s) {
        const ShellWindow* w = s.window("Side");
        return w && w->monitor == 1;
    })) << app.stderrText();

    gnome.press({Key::ctrl, Key::alt, Key::digit(2)});
    EXPECT_TRUE(gnome.waitFor([&](const ShellState& s) {
        const ShellWindow* w = s.window("Side");
        return w && w->desktop == 1 && w->monitor == (primaryOnly ? 0 : 1) && s.current == 0;
    })) << app.stderrText();
}

INSTANTIATE_TEST_SUITE_P(WorkspaceSettings, GnomeDesktops, ::testing::Values(true, false),
                         [](const auto& info) {
                             return info.param ? "DynamicOnlyOnPrimary" : "StaticOnEveryMonitor";
                         });

}  // namespace
}  // namespace corvane::gnome::testing

// Qt's bus connections want an application object.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
