#include "bench/interleaved_rounds.hpp"

#include <stdexcept>

namespace corvane::bench {

std::vector<Series> runInterleaved(std::vector<Contender>& contenders, int samples, int warmup,
                                   const std::function<void(int, int)>& progress) {
    std::vector<Series> series;
    for (const Contender& contender : contenders)
        series.push_back(Series{contender.name, contender.trigger, {}, {}, 0, {}});
    const std::size_t count = contenders.size();
    const int rounds = warmup + samples;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t step = 0; step < count; ++step) {
            const std::size_t index = (step + static_cast<std::size_t>(round)) % count;
            Series& into = series[index];
            if (into.failure) continue;
            try {
                const double ms = contenders[index].sample();
                if (round >= warmup) into.samples.push_back(ms);
            } catch (const std::runtime_error& error) {
                if (!into.unsettledWhy) into.unsettledWhy = error.what();
                if (++into.unsettled >= maxUnsettled)
                    into.failure =
                        std::to_string(into.unsettled) + " samples did not settle; the last: " + error.what();
            }
        }
        if (progress) progress(round + 1, rounds);
    }
    return series;
}

}  // namespace corvane::bench
