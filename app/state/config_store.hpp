#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>

#include "app/platform/platform.hpp"
#include "app/state/signal.hpp"
#include "core/action_outcome.hpp"
#include "core/config.hpp"
#include "core/window_action.hpp"

namespace corvane {

class HotKeys;
class NativeSpaces;
class WindowMover;

// The application's one state object: on/off, the configuration, the
// shortcut being recorded, the shortcuts the system refused. Persists what
// it must, keeps the hot keys in step, and turns presses into moves.
// Main thread only. Created by `create` and held in a shared_ptr so that the
// hot-key dispatch can hold it weakly.
class ConfigStore {
public:
    // Reads the stored state and registers the hot keys.
    static std::shared_ptr<ConfigStore> create(Platform& platform, WindowMover& mover, NativeSpaces& spaces);
    ~ConfigStore();
    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    // Published properties. A setter saves and re-registers only when the
    // value really changes; `changed` is emitted after every assignment that
    // changes a published property, and after every registration pass.
    bool isEnabled() const;
    void setEnabled(bool enabled);
    const Config& config() const;
    void setConfig(const Config& config);
    // The actions whose shortcut is not in force: refused in the last pass
    // (by the system, or for want of Control, Option or Command), or left
    // without a key by a later keyboard change.
    const std::unordered_set<WindowAction>& unavailable() const;
    const std::optional<WindowAction>& recording() const;
    void setRecording(std::optional<WindowAction> action);

    // Set by the guided tour, which reads the keyboard itself; the tour
    // calls applyHotKeys() after each change.
    bool isTourActive() const;
    void setTourActive(bool active);

    // Re-registers every hot key from the current state and recomputes `unavailable`.
    void applyHotKeys();
    // Placement and desktop shortcuts back to their defaults; the gap stays.
    void resetShortcuts();

    bool launchAtLogin();
    void setLaunchAtLogin(bool enabled);

    // What a hot-key press or a menu command runs; does nothing while off
    // only for the menu (hot keys are not registered then). `done`, if
    // given, hears on the main thread whether the window was placed or sent
    // (at once for a placement, when the move has run for a desktop action).
    void perform(const WindowAction& action, OutcomeHandler done = {});

    Signal<> changed;
    Signal<bool> enabledChanged;  // emitted with the new value of isEnabled

private:
    // What the store does when the system changed registrations by itself:
    // a keyboard change retries the shortcuts refused before and reports
    // those left without a key; a new window manager gets a whole pass.
    void registrationsChanged(HotKeyService::Change change);

    struct Private;
    explicit ConfigStore(Platform& platform, WindowMover& mover, NativeSpaces& spaces);
    std::unique_ptr<Private> d_;
};

}  // namespace corvane
