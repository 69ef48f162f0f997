#include "app/settings/shortcut_row_model.hpp"

#include "app/shell/action_symbol.hpp"
#include "app/shell/shortcut_text.hpp"

namespace corvane {

std::optional<RowNote> note(const WindowAction& action, bool recording, const RowState& state) {
    if (recording) {
        if (state.hint) return RowNote{*state.hint, true};
        return RowNote{state.words.recordingNote, false};
    }
    const auto sharing = state.config.actionsSharingWith(action);
    if (!sharing.empty()) {
        std::string text = "Same shortcut as ";
        for (std::size_t i = 0; i < sharing.size(); ++i) {
            if (i > 0) text += ", ";
            text += sharing[i].title();
        }
        return RowNote{text, true};
    }
    if (state.unavailable.contains(action)) return RowNote{"Couldn't register this shortcut", true};
    return std::nullopt;
}

ShortcutRowModel shortcutRow(const WindowAction& action, const RowState& state) {
    ShortcutRowModel row;
    row.symbol = std::string(symbol(action));
    row.title = std::string(action.title());
    row.isRecording = state.recording == action;
    row.note = note(action, row.isRecording, state);
    const auto all = state.config.allShortcuts();
    const auto it = all.find(action);
    row.hasShortcut = it != all.end();
    if (row.isRecording)
        row.buttonLabel = "Type shortcut…";
    else if (row.hasShortcut)
        row.buttonLabel = shortcutText(it->second, state.words.keys);
    else
        row.buttonLabel = "Record Shortcut";
    return row;
}

}  // namespace corvane
