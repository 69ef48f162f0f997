// What "ready" promises about the app's start: the work it set in motion
// is done by then, so an app nobody uses stays asleep from that moment on.
// (How fast it starts and how quiet it stays over minutes is the
// benchmark's business; this checks that nothing is left running.)

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tests/e2e/e2e_support.hpp"

namespace corvane::e2e {
namespace {

struct ThreadState {
    std::string name;
    long voluntarySwitches = -1;
};

// Every thread of `pid` by id: its name and how often it has gone to sleep.
std::map<std::string, ThreadState> threadsOf(pid_t pid) {
    std::map<std::string, ThreadState> threads;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code ignored;
    for (const auto& task : std::filesystem::directory_iterator(tasks, ignored)) {
        ThreadState state;
        std::getline(std::ifstream(task.path() / "comm"), state.name);
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                state.voluntarySwitches = std::stol(line.substr(line.find(':') + 1));
        }
        threads[task.path().filename().string()] = state;
    }
    return threads;
}

// No tray here: a tray that takes the icon in resizes its panel afterwards,
// and the app rightly follows the dock's new strut, a wake the tray causes.
// For the same reason the main thread, which follows the window manager's
// root properties, is not held to sleeping here; the benchmark's idle
// figures count it.
class StartUp : public AppTest {
protected:
    xharness::XServerOptions serverOptions() override {
        xharness::XServerOptions options;
        options.tray = false;
        return options;
    }
};

TEST_F(StartUp, NothingIsLeftRunningOnceReady) {
    allowLogLines();  // it says that no tray is running
    // Sampled at once: the fixture's start returned as the app said ready.
    const auto atReady = threadsOf(app().pid());
    ASSERT_FALSE(atReady.empty());

    // Long enough for a start-up tail (replies, queued events) to show;
    // nothing is pressed and nothing changes meanwhile.
    EXPECT_FALSE(app().waitForExit(std::chrono::milliseconds(1500)));
    const auto later = threadsOf(app().pid());
    const std::string mainThread = std::to_string(app().pid());
    for (const auto& [id, thread] : later) {
        // The painter's borrowed workers would each wake to end half a minute later.
        EXPECT_NE(thread.name, "Thread (pooled)") << "a worker thread outlived the start";
        EXPECT_TRUE(atReady.count(id)) << thread.name << " started after ready";
    }
    for (const auto& [id, thread] : atReady) {
        const auto now = later.find(id);
        if (now == later.end()) continue;  // a worker ending, seen above if it stays
        if (id == mainThread) continue;
        EXPECT_EQ(now->second.voluntarySwitches, thread.voluntarySwitches)
            << thread.name << " woke up after ready";
    }
}

}  // namespace
}  // namespace corvane::e2e
