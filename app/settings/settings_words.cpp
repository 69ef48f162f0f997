#include "app/settings/settings_words.hpp"

#include "app/shell/shortcut_text.hpp"

namespace corvane {

SettingsWords SettingsWords::forKeyboard(const KeyboardMap::Names& keys) {
    SettingsWords words;
    words.keys = keys;
    if (!keys.shortcutsInWords) return words;
    words.desktopsHeader = "Desktops";
    words.desktopsFooter = keys.controlShort + " + " + keys.optionShort + " + number sends the window. Add " +
                           keys.shiftShort + " to follow it. Missing desktops are created first.";
    words.desktopsUnavailable = "Desktop moves need a window manager with desktops.";
    words.recordingNote = "Press a key combo · Esc to cancel · Backspace to remove";
    words.modifierHint = "Include " + keys.commandShort + ", " + keys.optionShort + " or " +
                         keys.controlShort + " — e.g. " + exampleModifiers(keys);
    return words;
}

}  // namespace corvane
