#pragma once

// The product's own movers acting on real presses through the port, on Xvfb
// with openbox: presses are typed into the server and the test plays the
// main thread until the action has reported.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "app/desktops/native_spaces.hpp"
#include "app/placement/window_mover.hpp"
#include "port_on_server.hpp"
#include "ports/fake/fake_alerts.hpp"
#include "ports/fake/fake_call_log.hpp"
#include "ports/fake/fake_defaults.hpp"
#include "ports/fake/fake_login_item.hpp"
#include "ports/fake/fake_main_queue.hpp"
#include "ports/x11/round_trips.hpp"

namespace corvane::x11 {

constexpr std::chrono::milliseconds kWait{10000};
constexpr std::uint32_t kControlOption = 0x1800;  // Carbon controlKey | optionKey

// Desktop moves wait for the window manager in real time.
class RealClock final : public Clock {
public:
    TimePoint now() override {
        return std::chrono::time_point_cast<Duration>(std::chrono::steady_clock::now());
    }
    void sleep(Duration duration) override {
        if (duration > Duration::zero()) std::this_thread::sleep_for(duration);
    }
};

class PressesOnServer : public PortOnServer {
protected:
    void SetUp() override {
        xharness::XServerOptions options;
        options.width = 1600;
        options.height = 1000;
        options.tray = false;
        options.desktops = 4;
        start(options);
        platform_.emplace(Platform{port_->accessibility(), port_->hotKeys(), port_->workspace(),
                                   port_->screens(), port_->windowServer(), port_->desktopGesture(),
                                   defaults_, loginItem_, port_->feedback(), alerts_, mainQueue_, clock_});
        mover_.emplace(*platform_);
        spaces_.emplace(*platform_);
        port_->hotKeys().installPressHandler([this](std::optional<HotKeyID> id) {
            if (id) act(id->id);
            return noErr;
        });
        // Ctrl+Alt+Left, Right, Down, 2 and 3.
        for (auto [keyCode, id] : {std::pair{123u, 0u}, {124u, 1u}, {125u, 2u}, {19u, 3u}, {20u, 4u}})
            ASSERT_TRUE(port_->hotKeys().registerHotKey(keyCode, kControlOption, HotKeyID{1, id}));
    }

    void TearDown() override {
        spaces_.reset();  // joins the desktop queue
        mover_.reset();
        PortOnServer::TearDown();
    }

    void act(std::uint32_t id) {
        auto finished = [this](const ActionOutcome& outcome) { outcome_ = outcome; };
        switch (id) {
            case 0:
                finished(mover_->move(Placement::leftHalf, 0));
                break;
            case 1:
                finished(mover_->move(Placement::rightHalf, 0));
                break;
            case 2:
                finished(mover_->move(Placement::bottomHalf, 0));
                break;
            case 3:
                spaces_->moveFocusedWindow(SpaceAction::send2, finished);
                break;
            case 4:
                spaces_->moveFocusedWindow(SpaceAction::follow3, finished);
                break;
            default:
                break;
        }
        handledAt_ = RoundTrips::count();
    }

    // Presses the chord and plays the main thread until the action has
    // reported and `settled` holds; the round trips from the press on.
    std::optional<std::uint64_t> roundTripsOf(const std::string& chord,
                                              const std::function<bool()>& settled) {
        outcome_.reset();
        const std::uint64_t before = RoundTrips::count();
        pressedAt_ = before;
        server_->keyboard().press(chord);
        // A desktop move reports through the main queue, which wakes no
        // descriptor: look again every few milliseconds.
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        bool done = false;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            done = x().waitFor(
                [&] {
                    port_->dispatchPending();
                    mainQueue_.drain();
                    return outcome_ && settled();
                },
                std::chrono::milliseconds(5), port_->fileDescriptor());
        }
        if (!done || !outcome_->done) return std::nullopt;
        // Whatever the desktop queue still does for this press counts too.
        std::atomic<bool> idle{false};
        spaces_->afterPendingMoves([&idle] { idle = true; });
        while (!idle) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return RoundTrips::count() - before;
    }

    // Plays the main thread for a while with nothing pressed, as the app's
    // loop would between a person's presses.
    void playQuietly(std::chrono::milliseconds time = std::chrono::milliseconds(100)) {
        x().waitFor(
            [&] {
                port_->dispatchPending();
                return false;
            },
            time, port_->fileDescriptor());
    }

    bool frameIs(xcb_window_t window, const Rect& expected) { return x().outerFrame(window) == expected; }

    // The round trips of the last press until its handler returned.
    std::uint64_t tripsInHandler() const { return handledAt_ - pressedAt_; }

    fake::FakeCallLog log_;
    fake::FakeDefaults defaults_{log_};
    fake::FakeLoginItem loginItem_{log_};
    fake::FakeAlerts alerts_{log_};
    fake::FakeMainQueue mainQueue_;
    RealClock clock_;
    std::optional<Platform> platform_;
    std::optional<WindowMover> mover_;
    std::optional<NativeSpaces> spaces_;
    std::optional<ActionOutcome> outcome_;
    std::uint64_t pressedAt_ = 0, handledAt_ = 0;
};

}  // namespace corvane::x11
