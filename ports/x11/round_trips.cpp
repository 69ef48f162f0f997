#include "ports/x11/round_trips.hpp"

#include <array>
#include <atomic>

#include "ports/x11/press_trace.hpp"

namespace corvane::x11::RoundTrips {

namespace {

std::atomic<std::uint64_t> total{0};

// The last request each connection had sent when its last counted wait
// began. A thread uses a handful of connections at most (the main one, a
// worker's, a short-lived one while a window is restored).
struct Covered {
    xcb_connection_t* connection = nullptr;
    unsigned int sequence = 0;
};
thread_local std::array<Covered, 4> covered{};
thread_local std::size_t nextSlot = 0;

Covered& slotFor(xcb_connection_t* c, bool& fresh) {
    for (auto& slot : covered) {
        if (slot.connection == c) {
            fresh = false;
            return slot;
        }
    }
    fresh = true;
    Covered& slot = covered[nextSlot];
    nextSlot = (nextSlot + 1) % covered.size();
    slot = Covered{c, 0};
    return slot;
}

}  // namespace

void beforeWait(xcb_connection_t* c, unsigned int sequence) {
    bool fresh = false;
    Covered& slot = slotFor(c, fresh);
    // Sequence numbers wrap; the difference tells which came later.
    if (!fresh && static_cast<std::int32_t>(sequence - slot.sequence) <= 0) return;
    // Everything sent so far goes out with this wait and is answered by the
    // same trip. xcb tells nobody its last sequence number; an empty request
    // (no reply, nothing for the server to do) reveals it.
    slot.sequence = xcb_no_operation(c).sequence;
    const std::uint64_t now = total.fetch_add(1, std::memory_order_relaxed) + 1;
    PressTrace::roundTrip(now);
}

void arrived(xcb_connection_t* c, unsigned int sequence) {
    bool fresh = false;
    Covered& slot = slotFor(c, fresh);
    if (fresh || static_cast<std::int32_t>(sequence - slot.sequence) > 0) slot.sequence = sequence;
}

void forget(xcb_connection_t* c) {
    for (auto& slot : covered) {
        if (slot.connection == c) slot = Covered{};
    }
}

std::uint64_t count() {
    return total.load(std::memory_order_relaxed);
}

}  // namespace corvane::x11::RoundTrips
