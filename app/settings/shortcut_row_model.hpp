#pragma once

#include <optional>
#include <string>
#include <unordered_set>

#include "app/settings/settings_words.hpp"
#include "core/config.hpp"
#include "core/window_action.hpp"

namespace corvane {

// The small line under an action's title.
struct RowNote {
    std::string text;
    bool isWarning = false;  // orange; otherwise the secondary colour
    friend bool operator==(const RowNote&, const RowNote&) = default;
};

// Everything a row depends on; all of it lives in the store or the recorder.
struct RowState {
    const Config& config;
    const std::unordered_set<WindowAction>& unavailable;
    const std::optional<WindowAction>& recording;
    const std::optional<std::string>& hint;  // the recorder's rejection hint
    const SettingsWords& words;
};

// What one action's row shows, computed; the widget only renders it.
struct ShortcutRowModel {
    std::string symbol;
    std::string title;
    std::optional<RowNote> note;
    std::string buttonLabel;  // "Type shortcut…", the shortcut, or "Record Shortcut"
    bool isRecording = false;
    bool hasShortcut = false;
    // Monospaced digits and glyphs only for a shortcut at rest.
    bool monospacedLabel() const { return hasShortcut && !isRecording; }
    // "Record Shortcut" reads as a placeholder.
    bool secondaryLabel() const { return !hasShortcut && !isRecording; }
    friend bool operator==(const ShortcutRowModel&, const ShortcutRowModel&) = default;
};

// The note: the recording prompt or hint; else the actions sharing this
// shortcut; else a refused registration; else none.
std::optional<RowNote> note(const WindowAction& action, bool recording, const RowState& state);

ShortcutRowModel shortcutRow(const WindowAction& action, const RowState& state);

}  // namespace corvane
