// The real app on a headless KWin 5.27 with two virtual outputs: real key
// presses through KWin's own shortcut handling, real windows, the frames
// and desktops KWin reports.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tools/kwin_session/kwin_session.hpp"

namespace corvane::kwinharness {
namespace {

class KWinEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (const auto reason = KWinSession::unavailableReason(); !reason.empty()) GTEST_SKIP() << reason;
        session_ = std::make_unique<KWinSession>();
    }
    void TearDown() override {
        if (session_ && HasFailure()) std::cerr << "KWin's log:\n" << session_->log();
    }

    bool waitForFrame(const std::string& title, const Rect& frame) {
        return session_->waitFor([&](const KWinState& s) {
            const auto* w = s.window(title);
            return w && w->frame == frame;
        });
    }

    std::unique_ptr<KWinSession> session_;
};

TEST_F(KWinEndToEnd, TheHarnessDrivesKWinsOwnShortcuts) {
    const auto window = session_->openWindow("Notes");
    const auto state = session_->state();
    ASSERT_EQ(state.screens.size(), 2u);
    EXPECT_EQ(state.screens[1], (Rect{1440, 0, 1440, 900}));
    // KWin's own Quick Tile Left, typed through fake input.
    session_->press({"leftmeta+left"});
    EXPECT_TRUE(waitForFrame("Notes", Rect{0, 0, 720, 900}));
}

}  // namespace
}  // namespace corvane::kwinharness
