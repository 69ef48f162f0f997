// The app against a world that changes under it: a window that vanishes
// mid-action, a window manager that dies, a server that goes away.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/geometry.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

using Faults = AppTest;

TEST_F(Faults, WindowClosedRightAfterThePressIsNoHarm) {
    allowLogLines();  // the vanished window may be reported
    auto doomed = openWindow("Doomed");
    // Best effort at the race: the window goes while the app handles the press.
    server().keyboard().press("Ctrl+Alt+Super+Left");
    doomed->close();

    auto next = openWindow("Next");
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *next,
                                    Geometry::frame(Placement::rightHalf, primaryVisible(), 0)));
}

TEST_F(Faults, AppKeepsWorkingAcrossAWindowManagerRestart) {
    allowLogLines();  // a press with no window manager may be reported
    auto window = openWindow();
    server().killWindowManager();
    // With no manager at all the press has nobody to ask; the app must cope.
    server().keyboard().press("Ctrl+Alt+Super+Left");
    ASSERT_TRUE(status(app()).has_value()) << "the app answers while no window manager runs";

    server().startWindowManager();
    ASSERT_TRUE(x().waitFor([&] { return x().frameExtents(window->id()).has_value(); }));
    window->activate();
    EXPECT_TRUE(pressAndExpectFrame("Ctrl+Alt+Super+Right", *window,
                                    Geometry::frame(Placement::rightHalf, primaryVisible(), 0)));
    server().keyboard().press("Ctrl+Alt+3");
    EXPECT_TRUE(x().waitFor([&] { return window->desktop() == 2U; })) << "desktops work with the new manager";
}

TEST_F(Faults, ServerGoneEndsTheAppWithOneClearLine) {
    expectExit();
    const std::filesystem::path socket = app().runtimeDirectory() / "corvane" / "instance";
    ASSERT_TRUE(std::filesystem::is_socket(socket));
    const std::size_t before = app().stderrText().size();
    server().stop();

    std::optional<xharness::ExitStatus> ended = app().waitForExit(std::chrono::milliseconds(5000));
    ASSERT_TRUE(ended.has_value()) << "corvane still runs 5 s after its X server went away";
    EXPECT_TRUE(ended->exited) << "corvane died of " << xharness::describe(*ended);

    std::istringstream said(app().stderrText().substr(before));
    std::string line;
    int ownLines = 0;
    std::string all;
    while (std::getline(said, line)) {
        all += line + "\n";
        if (line.rfind("corvane: ", 0) == 0) ++ownLines;
    }
    EXPECT_EQ(ownLines, 1) << "stderr after the server went:\n" << all;
    EXPECT_FALSE(std::filesystem::exists(socket)) << "the next launch must not find a dead instance's socket";
    RecordProperty("stderr", all);
}

}  // namespace
}  // namespace corvane::e2e
