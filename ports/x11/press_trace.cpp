#include "ports/x11/press_trace.hpp"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "ports/x11/round_trips.hpp"

namespace corvane::x11::PressTrace {

namespace {

const bool on = [] {
    const char* value = std::getenv("CORVANE_X11_TRACE");
    return value && *value && *value != '0';
}();

std::atomic<std::int64_t> pressedAt{0};  // steady clock, nanoseconds
std::atomic<std::uint64_t> tripsAtPress{0};

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double sincePressMs() {
    return static_cast<double>(nowNs() - pressedAt.load(std::memory_order_relaxed)) / 1e6;
}

unsigned long long tripsSincePress(std::uint64_t total) {
    return static_cast<unsigned long long>(total - tripsAtPress.load(std::memory_order_relaxed));
}

void event(const char* kind, const char* what) {
    const unsigned long long trips = tripsSincePress(RoundTrips::count());
    std::fprintf(stderr, "corvane: trace +%.3f ms %s %s (%llu round trip%s)\n", sincePressMs(), kind, what,
                 trips, trips == 1 ? "" : "s");
}

}  // namespace

bool enabled() {
    return on;
}

void pressReceived(std::uint32_t identity) {
    if (!on) return;
    pressedAt.store(nowNs(), std::memory_order_relaxed);
    tripsAtPress.store(RoundTrips::count(), std::memory_order_relaxed);
    std::fprintf(stderr, "corvane: trace press %u\n", identity);
}

void requestSent(const char* what) {
    if (on) event("sent", what);
}

void replyReceived(const char* what) {
    if (on) event("received", what);
}

void roundTrip(std::uint64_t total) {
    if (!on) return;
    std::fprintf(stderr, "corvane: trace +%.3f ms round trip %llu\n", sincePressMs(), tripsSincePress(total));
}

}  // namespace corvane::x11::PressTrace
