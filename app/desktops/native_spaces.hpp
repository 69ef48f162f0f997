#pragma once

#include <functional>
#include <memory>

#include "app/platform/platform.hpp"
#include "core/action_outcome.hpp"
#include "core/window_action.hpp"

namespace corvane {

// Sends the focused window to desktop 1...9 of its display, creating missing
// desktops first, and optionally follows it. Moves run one at a time on a
// serial queue of their own; failures are logged and shown in one alert at a
// time. One per process.
class NativeSpaces {
public:
    explicit NativeSpaces(Platform& platform);
    // Finishes the move under way, drops queued ones, and joins the queue.
    ~NativeSpaces();
    NativeSpaces(const NativeSpaces&) = delete;
    NativeSpaces& operator=(const NativeSpaces&) = delete;

    // Whether desktop moves can work on this system; asked afresh each time.
    bool isAvailable();

    // Main thread. Takes the focused window now, at the press, and returns
    // at once; the outcome is a moved window or a reported failure. `done`,
    // if given, hears the outcome on the main thread once the move has
    // ended (never, if the queue shuts down first).
    void moveFocusedWindow(SpaceAction action, OutcomeHandler done = {});

    // Runs `reached` on the move queue once every move asked for so far has
    // finished (never, if the queue shuts down first). Never waits: tests use
    // it to learn when to stop playing the main thread.
    void afterPendingMoves(std::function<void()> reached);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace corvane
