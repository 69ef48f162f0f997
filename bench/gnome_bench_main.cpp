// Key press to settled frame on a headless GNOME Shell 43: Corvane's halves
// (the extension reports the press to Corvane, which answers with the frame)
// side by side with GNOME's own tiling (Super+Left / Super+Right). Rounds
// are interleaved so both see the same machine load. The clock starts when
// the last key goes down and stops when the extension reports the new
// frame; the keys go up afterwards. Prints medians and the ratio; not a test.

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/side_by_side.hpp"
#include "tests/gnome/gnome_session.hpp"

namespace {

using namespace corvane;
using namespace corvane::gnome::testing;
using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication qt(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (const auto why = whyGnomeCannotRun()) {
        std::fprintf(stderr, "gnome_bench: %s\n", why->c_str());
        return 1;
    }
    GnomeSession gnome;
    GnomeCorvane app(gnome);
    gnome.openWindow("Bench");
    gnome.setPollStep(std::chrono::microseconds(200));
    const auto state = gnome.state();
    const Rect area = state->workAreas.front();
    const double half = std::floor(area.width / 2);
    // Both reach the same two halves: x and width tell them apart.
    const auto settle = [&](const std::vector<unsigned>& keys, double x) {
        const auto start = gnome.hold(keys);
        const bool placed = gnome.waitFor([&](const ShellState& s) {
            const ShellWindow* w = s.window("Bench");
            return w && std::abs(w->frame.x - x) < 1 && std::abs(w->frame.width - half) <= 1;
        });
        const auto end = Clock::now();
        gnome.release(keys);
        if (!placed) {
            std::fprintf(stderr, "gnome_bench: a press did not settle\n%s", app.stderrText().c_str());
            std::exit(1);
        }
        return std::chrono::duration<double, std::milli>(end - start).count();
    };

    std::vector<double> ours, native;
    for (int i = 0; i < rounds; ++i) {
        ours.push_back(settle({Key::ctrl, Key::alt, Key::super, Key::left}, area.x));
        ours.push_back(settle({Key::ctrl, Key::alt, Key::super, Key::right}, area.x + half));
        native.push_back(settle({Key::super, Key::left}, area.x));
        native.push_back(settle({Key::super, Key::right}, area.x + half));
    }
    std::printf("key press -> frame settled on GNOME Shell 43 (headless), %d presses each\n", rounds * 2);
    bench::printSideBySide("corvane (extension -> D-Bus -> corvane -> frame)", ours,
                           "GNOME's own Super+Left/Right tiling", native);
    return 0;
}
