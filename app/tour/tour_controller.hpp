#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "app/platform/keyboard_map.hpp"
#include "app/platform/platform.hpp"
#include "app/tour/tour_lifecycle.hpp"

namespace corvane {

class ConfigStore;
class TourWindow;

// The one tour of the application: opens a window with a fresh model, or
// brings the open one forward; withdraws the shortcuts while it is open and
// gives them back when it closes; records a finished tour. Main thread only.
class TourController {
public:
    // `keyboardMap` may be null (no X connection).
    TourController(Platform& platform, const KeyboardMap* keyboardMap);
    ~TourController();
    TourController(const TourController&) = delete;
    TourController& operator=(const TourController&) = delete;

    // The launch's decision (see TourLifecycle); opens the tour when it says so.
    // True when the tour opened.
    bool openOnFirstRun(const std::shared_ptr<ConfigStore>& store);
    void show(const std::shared_ptr<ConfigStore>& store);
    bool isOpen() const { return window_ != nullptr; }
    // The open window, for tests; null when none is open.
    TourWindow* window() const { return window_.get(); }

private:
    void finish();
    void closed();

    Platform& platform_;
    const KeyboardMap* keyboardMap_;
    TourLifecycle lifecycle_;
    std::unique_ptr<TourWindow> window_;
    // A closed window is deleted once its close event has returned.
    std::vector<std::unique_ptr<TourWindow>> closing_;
    QObject context_;
};

}  // namespace corvane
