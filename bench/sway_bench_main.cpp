// Key press to settled frame on a headless sway: Corvane's bindings (a
// binding event, then the IPC commands) side by side with sway's own
// bindings running the same floating/resize/move commands. Rounds are
// interleaved so both see the same machine load. Prints medians and the
// ratio; not a test.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/side_by_side.hpp"
#include "tests/i3ipc/sway_session.hpp"

namespace {

using namespace corvane;
using namespace corvane::i3ipc;
using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    // sway's own bindings for the same two halves, on keys Corvane leaves alone.
    testing::SwaySession sway(
        "bindsym Mod4+Mod1+Ctrl+Shift+Left floating enable, resize set width 720 px height 900 px, "
        "move absolute position 0 px 0 px\n"
        "bindsym Mod4+Mod1+Ctrl+Shift+Right floating enable, resize set width 720 px height 900 px, "
        "move absolute position 720 px 0 px\n");
    testing::SwayCorvane app(sway);
    const auto id = sway.openWindow();
    const Rect left{0, 0, 720, 900}, right{720, 0, 720, 900};

    const auto settle = [&](const std::string& keys, const Rect& target) {
        const auto start = Clock::now();
        sway.press(keys);
        const bool placed = sway.waitFor([&](const Tree& t) {
            const auto w = t.window(id);
            return w && w->rect == target;
        });
        if (!placed) {
            std::fprintf(stderr, "sway_bench: %s did not settle\n", keys.c_str());
            std::exit(1);
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };

    std::vector<double> ours, native;
    for (int i = 0; i < rounds; ++i) {
        ours.push_back(settle("ctrl+alt+logo+Left", left));
        ours.push_back(settle("ctrl+alt+logo+Right", right));
        native.push_back(settle("ctrl+alt+logo+shift+Left", left));
        native.push_back(settle("ctrl+alt+logo+shift+Right", right));
    }
    std::printf("key press -> frame settled on sway, %d presses each (wtype's start included in both)\n",
                rounds * 2);
    bench::printSideBySide("corvane binding", ours, "sway's own bind", native);
    return 0;
}
