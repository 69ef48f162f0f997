#pragma once

#include <cstddef>
#include <memory>

#include "app/platform/platform.hpp"
#include "core/action_outcome.hpp"
#include "core/window_action.hpp"

namespace corvane {

// Places the focused window of the frontmost application: halves, quarters,
// full screen (a second press restores the earlier frame) and the previous
// or next display. One per process; it keeps the frames saved before full
// screen. Main thread only.
class WindowMover {
public:
    explicit WindowMover(Platform& platform);
    ~WindowMover();
    WindowMover(const WindowMover&) = delete;
    WindowMover& operator=(const WindowMover&) = delete;

    // Never fails loudly: the user sees a moved window, a beep, or the
    // system's request for access. The outcome says whether the frame was
    // written, and if not, why (for callers that report it, such as the
    // command line).
    ActionOutcome move(Placement placement, double gap);

    // How many frames are kept for a later restore (for tests).
    std::size_t savedFrameCount() const;

private:
    class State;
    Platform& platform_;
    std::unique_ptr<State> state_;
};

}  // namespace corvane
