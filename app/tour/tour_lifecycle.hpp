#pragma once

#include <memory>

#include "app/platform/accessibility.hpp"
#include "app/platform/defaults.hpp"
#include "app/state/config_store.hpp"

namespace corvane {

// What opening, finishing and closing the tour do to the application's
// state, apart from any window: the shortcuts are withdrawn exactly while a
// tour runs (the tour reads the keys itself), and finishing records it.
// Main thread only.
class TourLifecycle {
public:
    static constexpr const char* completedKey = "tourCompleted";

    TourLifecycle(Defaults& defaults, Accessibility& accessibility)
        : defaults_(defaults), accessibility_(accessibility) {}

    // The launch's decision: true when the tour must open now, with the
    // shortcuts withdrawn and the window-access request left to its end;
    // false when it was completed before, with the shortcuts registered
    // again (if switched on). Either way the shortcuts registered at the
    // store's creation are let go first, so none fires before the choice.
    bool firstRunOpensTour(ConfigStore& store);

    // A tour window opens: the shortcuts are let go.
    void began(const std::shared_ptr<ConfigStore>& store);
    // "Finish Tour": records the tour as completed. The caller then closes
    // the window (which runs ended()) and calls requestAccessIfMissing().
    void finished();
    // The window closed, however: the shortcuts come back. A store gone by
    // now is left alone.
    void ended();
    // Raises the system's request for window access only when it is missing.
    void requestAccessIfMissing();

    bool isActive() const { return active_; }

private:
    Defaults& defaults_;
    Accessibility& accessibility_;
    std::weak_ptr<ConfigStore> store_;
    bool active_ = false;
};

}  // namespace corvane
