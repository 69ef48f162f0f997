// One write of the settings window's gap slider, as the app takes it: the
// store saves the configuration (temporary file, sync, rename, directory
// sync) and registers every hot key again, over the real X11 port on a
// private Xvfb + openbox. Each keyboard step of the slider and the end of
// each drag costs one of these on the main thread (a drag itself only
// redraws), so the slowest one is what a user could feel.
//
//   corvane_bench_gap_step [--benchmark_repetitions=N ...]
//
// Reports the mean per step; the "max" line is the worst single step seen.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "app/shell/steady_clock.hpp"
#include "app/state/config_store.hpp"
#include "ports/fake/fake_alerts.hpp"
#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_main_queue.hpp"
#include "ports/x11/x11_port.hpp"
#include "ports/xdg/autostart_login_item.hpp"
#include "ports/xdg/file_defaults.hpp"
#include "tools/xharness/temp_dir.hpp"
#include "tools/xharness/x_server.hpp"

namespace {

using namespace corvane;

// The app's own services on a private server, with settings in a scratch folder.
struct World {
    xharness::XServer server{xharness::XServerOptions{}};
    std::unique_ptr<x11::X11Port> port = x11::X11Port::connect(server.display().c_str());
    xharness::TempDir home{"corvane-gap-bench"};
    xdg::FileDefaults defaults{home.path() / "corvane", port->feedback()};
    xdg::AutostartLoginItem loginItem{home.path() / "autostart", "corvane"};
    fake::FakeCallLog log;
    fake::FakeAlerts alerts{log};
    fake::FakeMainQueue mainQueue;
    SteadyClock clock;
    Platform platform{port->accessibility(),
                      port->hotKeys(),
                      port->workspace(),
                      port->screens(),
                      port->windowServer(),
                      port->desktopGesture(),
                      defaults,
                      loginItem,
                      port->feedback(),
                      alerts,
                      mainQueue,
                      clock};
    WindowMover mover{platform};
    NativeSpaces spaces{platform};
    std::shared_ptr<ConfigStore> store = ConfigStore::create(platform, mover, spaces);
};

World& world() {
    static World w;
    return w;
}

void BM_GapSliderStep(benchmark::State& state) {
    ConfigStore& store = *world().store;
    double worst = 0;
    std::int64_t gap = 0;
    for (auto _ : state) {
        // Up and down the slider's range, one step of 2 at a time.
        gap = gap >= Config::maxGap ? 0 : gap + 2;
        Config config = store.config();
        config.gap = gap;
        const auto start = std::chrono::steady_clock::now();
        store.setConfig(config);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        worst = std::max(worst, took.count());
    }
    state.counters["max_ms"] = worst;
    state.counters["unavailable"] = static_cast<double>(store.unavailable().size());
}
BENCHMARK(BM_GapSliderStep)->Unit(benchmark::kMillisecond)->Iterations(200);

// The two halves of a step, for telling where its time goes.
void BM_RegisterEveryHotKey(benchmark::State& state) {
    ConfigStore& store = *world().store;
    for (auto _ : state) store.applyHotKeys();
}
BENCHMARK(BM_RegisterEveryHotKey)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_SaveConfiguration(benchmark::State& state) {
    Defaults& defaults = world().defaults;
    Config config = world().store->config();
    for (auto _ : state) {
        config.gap = config.gap >= Config::maxGap ? 0 : config.gap + 2;
        defaults.setBytes("config", config.encoded());
    }
}
BENCHMARK(BM_SaveConfiguration)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    world();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
