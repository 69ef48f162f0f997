#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/platform/key_input.hpp"
#include "app/platform/system_feedback.hpp"
#include "app/settings/settings_words.hpp"
#include "app/state/config_store.hpp"
#include "core/shortcut.hpp"
#include "core/window_action.hpp"

namespace corvane {

// The label stored with a recorded key: the key's name from the fixed table
// of special keys, else its characters upper-cased, else "#" and its code.
std::string keyLabel(std::uint32_t keyCode, std::string_view characters);

// Stores `shortcut` for `action` (or removes the action's shortcut) through
// the store, which saves it and registers the hot keys again when nothing
// records. No conflict check: the rows report shared shortcuts.
void setShortcut(ConfigStore& store, const std::optional<Shortcut>& shortcut, const WindowAction& action);

// The recording state machine behind the settings rows. Which action
// records lives in the store (it holds the hot keys off meanwhile); the
// recorder adds the hint shown after a rejected combination and turns the
// keys typed into our window into shortcuts. Main thread only.
class ShortcutRecorder {
public:
    ShortcutRecorder(ConfigStore& store, SystemFeedback& feedback, const SettingsWords& words);

    // A row's record button: starts recording that action, moves recording
    // to it from another row (which keeps its shortcut), or ends it when it
    // is the one recording.
    void toggle(const WindowAction& action);
    // A row's remove button.
    void remove(const WindowAction& action);
    // Ends recording without change: the window closed or was hidden.
    void cancel();

    enum class Outcome { passThrough, swallowed };
    // Every key event of our window while recording. Key-downs end or
    // continue recording; everything else typed meanwhile is swallowed too,
    // so no control of the window reacts to half a combination.
    Outcome handle(const KeyInput& input);

    const std::optional<std::string>& hint() const { return hint_; }
    // Emitted when the hint appears or goes; the store tells of the rest.
    Signal<> hintChanged;

private:
    void setHint(std::optional<std::string> hint);

    ConfigStore& store_;
    SystemFeedback& feedback_;
    const SettingsWords& words_;
    std::optional<std::string> hint_;
};

}  // namespace corvane
