#pragma once

#include <unordered_set>

#include "core/action_outcome.hpp"
#include "core/window_action.hpp"

namespace corvane {

// What the status menu and the instance channel act on. The delegate binds it
// to the store, the movers and its own windows; tests bind it to a recorder.
// Main thread only.
class AppControl {
public:
    virtual ~AppControl() = default;

    // The on/off switch. Setting it saves the value and re-registers the hot keys.
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // Whether desktop moves can work on this system; asked afresh each time.
    virtual bool desktopsAvailable() = 0;
    // The actions whose shortcut the system refused in the last registration pass.
    virtual const std::unordered_set<WindowAction>& unavailable() const = 0;

    // Runs a placement or desktop move exactly as its hot key would. Callers
    // check the switch first: nothing may move while the application is off.
    // `done` (may be empty) hears the outcome on the main thread, at once or,
    // for a desktop move, once the move has run.
    virtual void perform(const WindowAction& action, OutcomeHandler done) = 0;

    // Raises the system's request for window access and opens its settings page.
    virtual void requestAccess() = 0;
    virtual void openSettings() = 0;
    virtual void openTour() = 0;
    // Whether the guided tour is open (it holds the shortcuts off meanwhile).
    virtual bool isTourOpen() const = 0;
    // What a second launch asks of the running application: come forward.
    virtual void bringForward() = 0;
    // Ends the application (its event loop returns 0).
    virtual void quit() = 0;

protected:
    AppControl() = default;
    AppControl(const AppControl&) = delete;
    AppControl& operator=(const AppControl&) = delete;
};

}  // namespace corvane
