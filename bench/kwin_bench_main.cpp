// Key press to settled frame on a headless KWin: Corvane's left and right
// halves (KWin's fake input -> KWin's shortcut -> our script -> one D-Bus
// round trip to Corvane -> the frame) side by side with KWin's own Quick
// Tile Left and Right (Meta+Left/Right), which place the same two frames.
// Rounds are interleaved so both see the same machine load. Prints medians
// and the ratio; not a test.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/side_by_side.hpp"
#include "tools/kwin_session/kwin_session.hpp"

namespace {

using namespace corvane;
using namespace corvane::kwinharness;
using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (const auto reason = KWinSession::unavailableReason(); !reason.empty()) {
        std::fprintf(stderr, "kwin_bench: %s\n", reason.c_str());
        return 1;
    }
    KWinSession session;
    KWinCorvane app(session);
    const auto window = session.openWindow("Bench");
    const Rect left{0, 0, 720, 900}, right{720, 0, 720, 900};

    // Milliseconds until the frame holds; absent when it never did.
    const auto settle = [&](const std::string& keys, const Rect& target) -> std::optional<double> {
        const auto start = Clock::now();
        session.press({keys});
        const bool placed = session.waitFor([&](const KWinState& s) {
            const auto* w = s.window("Bench");
            return w && w->frame == target;
        });
        if (!placed) {
            std::fprintf(stderr, "kwin_bench: %s did not settle\n%s\n", keys.c_str(),
                         app.stderrText().c_str());
            return std::nullopt;
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };

    std::vector<double> ours, native;
    for (int i = 0; i < rounds; ++i) {
        const auto a1 = settle("leftctrl+leftalt+leftmeta+left", left);
        const auto a2 = settle("leftctrl+leftalt+leftmeta+right", right);
        const auto b1 = settle("leftmeta+left", left);
        const auto b2 = settle("leftmeta+right", right);
        // Returning (not exiting) ends KWin, its bus and the app with the session.
        if (!a1 || !a2 || !b1 || !b2) return 1;
        ours.insert(ours.end(), {*a1, *a2});
        native.insert(native.end(), {*b1, *b2});
    }
    std::printf(
        "key press -> frame settled on KWin %s, %d presses each (the injector's start included in both)\n",
        "5.27 (headless, QPainter)", rounds * 2);
    bench::printSideBySide("corvane shortcut", ours, "KWin's Quick Tile", native);
    return 0;
}
