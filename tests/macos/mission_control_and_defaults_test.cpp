// Where the Mission Control pass puts the pointer, and the names under which
// the macOS defaults keep a copy of a value they could not read.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ports/macos/kept_aside_key.hpp"
#include "ports/macos/mission_control_pass.hpp"

namespace corvane::macos {
namespace {

TEST(MissionControlPass, PointsFollowTheDisplayNotThePrimary) {
    struct Row {
        Rect bounds;
        Point centre;
        Point addDesktop;
    };
    const Row rows[] = {
        // The primary display.
        {{0, 0, 1512, 982}, {756, 491}, {1482, 34}},
        // A display left of the primary and higher up: negative coordinates.
        {{-1920, -300, 1920, 1080}, {-960, 240}, {-30, -266}},
        // A display right of the primary, lower down.
        {{1512, 200, 2560, 1440}, {2792, 920}, {4042, 234}},
    };
    for (const auto& row : rows) {
        const auto p = MissionControlPass::points(row.bounds);
        EXPECT_EQ(p.centre, row.centre);
        EXPECT_EQ(p.addDesktop, row.addDesktop);
    }
}

TEST(KeptAsideKey, NamesTheKeyAndTheUTCSecond) {
    // 2026-03-01 12:34:56 UTC.
    const auto when = std::chrono::system_clock::from_time_t(1772368496);
    EXPECT_EQ(keptAsideKey("config", when, [](const std::string&) { return false; }),
              "config.unreadable-20260301T123456Z");
}

TEST(KeptAsideKey, NeverReusesATakenName) {
    const auto when = std::chrono::system_clock::from_time_t(1772368496);
    std::set<std::string> taken;
    for (int i = 0; i < 4; ++i)
        taken.insert(
            keptAsideKey("config", when, [&](const std::string& name) { return taken.count(name) > 0; }));
    const std::set<std::string> expected{
        "config.unreadable-20260301T123456Z", "config.unreadable-20260301T123456Z-2",
        "config.unreadable-20260301T123456Z-3", "config.unreadable-20260301T123456Z-4"};
    EXPECT_EQ(taken, expected);
}

}  // namespace
}  // namespace corvane::macos
