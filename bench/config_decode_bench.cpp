// How long reading the stored configuration takes: the store does it at start-up
// and whenever settings change, so it should stay far below a millisecond.

#include <benchmark/benchmark.h>

#include <string>

#include "core/config.hpp"

namespace {

void BM_DecodeDefaultDocument(benchmark::State& state) {
    const std::string document = corvane::Config::defaults().encoded();
    for (auto _ : state) {
        corvane::Config config = corvane::Config::decode(document);
        benchmark::DoNotOptimize(config);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(document.size()));
}
BENCHMARK(BM_DecodeDefaultDocument);

}  // namespace

BENCHMARK_MAIN();
