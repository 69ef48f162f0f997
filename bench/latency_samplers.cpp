#include "bench/latency_samplers.hpp"

#include <sstream>
#include <stdexcept>
#include <string>

#include "bench/window_requests.hpp"

namespace corvane::bench {

namespace {

std::string describe(const std::optional<Rect>& rect) {
    if (!rect) return "(window gone)";
    std::ostringstream text;
    text << '(' << rect->x << ", " << rect->y << ", " << rect->width << ", " << rect->height << ')';
    return text.str();
}

}  // namespace

std::optional<double> timeUntil(xharness::XConnection& x, const std::function<void()>& press,
                                const std::function<bool()>& reached, std::chrono::milliseconds timeout) {
    const auto started = std::chrono::steady_clock::now();
    press();
    if (!x.waitFor(reached, timeout)) return std::nullopt;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
}

FrameLatency::FrameLatency(xharness::XServer& server, xharness::ClientWindow& window, Rect first, Rect second,
                           xharness::FrameExtents extents)
    : server_(server), window_(window), first_(first), second_(second), extents_(extents) {}

std::function<double()> FrameLatency::sampler(xharness::Chord toFirst, xharness::Chord toSecond) {
    return [this, toFirst = std::move(toFirst), toSecond = std::move(toSecond)] {
        return sample(toFirst, toSecond);
    };
}

double FrameLatency::sample(const xharness::Chord& toFirst, const xharness::Chord& toSecond) {
    xharness::XConnection& x = server_.x();
    std::optional<Rect> now = window_.frame();
    if (now != first_ && now != second_) {
        requestOuterFrame(x, window_.id(), second_, extents_);
        if (!x.waitFor([&] { return window_.frame() == second_; }, sampleTimeout)) {
            throw std::runtime_error("could not put the window at its starting frame " + describe(second_) +
                                     "; it is at " + describe(window_.frame()));
        }
        now = second_;
    }
    if (!window_.isActive()) window_.activate();
    const bool toSecondNext = now == first_;
    const Rect target = toSecondNext ? second_ : first_;
    const xharness::Chord& chord = toSecondNext ? toSecond : toFirst;
    std::optional<double> ms = timeUntil(
        x, [&] { server_.keyboard().press(chord); }, [&] { return window_.frame() == target; });
    if (!ms) {
        throw std::runtime_error(chord.text + " did not put the window at " + describe(target) + " within " +
                                 std::to_string(sampleTimeout.count()) + " ms; it is at " +
                                 describe(window_.frame()));
    }
    return *ms;
}

DesktopLatency::DesktopLatency(xharness::XServer& server, xharness::ClientWindow& window, std::uint32_t home,
                               std::uint32_t target, std::chrono::milliseconds pause, bool follow)
    : server_(server), window_(window), home_(home), target_(target), pause_(pause), follow_(follow) {}

std::function<double()> DesktopLatency::sampler(xharness::Chord send) {
    return [this, send = std::move(send)] { return sample(send); };
}

double DesktopLatency::sample(const xharness::Chord& send) {
    xharness::XConnection& x = server_.x();
    bool restored = false;
    if (window_.desktop() != home_) {
        requestDesktop(x, window_.id(), home_);
        if (!x.waitFor([&] { return window_.desktop() == home_; }, sampleTimeout)) {
            throw std::runtime_error("could not bring the window back to desktop index " +
                                     std::to_string(home_));
        }
        restored = true;
    }
    bool switched = false;
    if (x.currentDesktop() != home_) {
        requestCurrentDesktop(x, home_);
        if (!x.waitFor([&] { return x.currentDesktop() == home_; }, sampleTimeout))
            throw std::runtime_error("could not show desktop index " + std::to_string(home_) + " again");
        switched = true;
    }
    if (switched) {
        // After a switch the manager hands the focus to a window of that
        // desktop on its own, possibly after our activation: activate until
        // the focus stays put for a moment.
        constexpr std::chrono::milliseconds steady{30};
        int tries = 0;
        do {
            if (++tries > 20) throw std::runtime_error("the window would not keep the focus after a switch");
            window_.activate();
        } while (x.waitFor([&] { return !window_.isActive(); }, steady));
    } else if (!window_.isActive()) {
        window_.activate();
        restored = true;
    }
    // Nobody presses a key within a millisecond of a window getting the
    // focus: without this quiet moment the press races every client's view
    // of the activation the benchmark itself just made.
    if (restored || switched) x.waitFor([] { return false; }, quietBeforePress);
    std::optional<double> ms = timeUntil(
        x, [&] { server_.keyboard().press(send); },
        [&] { return window_.desktop() == target_ && (!follow_ || x.currentDesktop() == target_); });
    if (!ms) {
        std::optional<std::uint32_t> desktop = window_.desktop();
        throw std::runtime_error(send.text + " did not put the window on desktop index " +
                                 std::to_string(target_) + (follow_ ? " and show it" : "") + " within " +
                                 std::to_string(sampleTimeout.count()) + " ms; it is on " +
                                 (desktop ? std::to_string(*desktop) : std::string("none")));
    }
    // The manager takes the focus from a window it sent away only after it
    // has written the new desktop; the next sample's activation must not
    // race that, or it finds a stale "active" and presses into nothing.
    if (!follow_ && !x.waitFor([&] { return !window_.isActive(); }, sampleTimeout)) {
        throw std::runtime_error("the window kept the focus on desktop index " + std::to_string(target_));
    }
    // The pause is a wait on the window's and the root's events: whatever
    // moves the window or switches the desktop in it ends it, and is a fault.
    const std::optional<std::uint32_t> shown = x.currentDesktop();
    if (x.waitFor([&] { return window_.desktop() != target_ || x.currentDesktop() != shown; }, pause_)) {
        throw std::runtime_error("after " + send.text + " the window or the shown desktop changed again");
    }
    return *ms;
}

}  // namespace corvane::bench
