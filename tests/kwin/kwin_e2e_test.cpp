// The real app on a headless KWin 5.27 with two virtual outputs side by
// side: Corvane loads its script into KWin, keys are typed through KWin's
// fake input (so they take KWin's own shortcut path), frames and desktops
// are read back from KWin.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

#include "core/config.hpp"
#include "core/geometry.hpp"
#include "tools/kwin_session/kwin_session.hpp"

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

}  // namespace
}  // namespace corvane::kwinharness
