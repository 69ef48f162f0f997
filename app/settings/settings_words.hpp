#pragma once

#include <string>

#include "app/platform/keyboard_map.hpp"

namespace corvane {

// The settings window's texts that name keys or the system's desktops. The
// Mac's are the defaults; a platform that writes shortcuts in words (Linux
// desktops) gets words for keys and plain "Desktops" too, since it has
// neither the Mac's glyphs nor its desktop overview.
struct SettingsWords {
    KeyboardMap::Names keys;
    std::string desktopsHeader = "Mission Control Desktops";
    std::string desktopsFooter =
        "Ctrl + Opt + number sends the window. Add Shift to follow it. Missing Desktops are created on the "
        "window's current display.";
    // Shown where desktop moves cannot work and nothing more precise is known.
    std::string desktopsUnavailable = "Native Desktop moves require macOS 26.4 or later on this build.";
    std::string recordingNote = "Press a key combo · Esc to cancel · ⌫ to remove";
    // Followed immediately by the label of the rejected key.
    std::string modifierHint = "Include ⌘, ⌥ or ⌃ — e.g. ⌃⌥⌘";
    // A key the stored form has no code for (a media key, a dead key, a
    // character only another layout has): no modifier would make it usable.
    std::string unrepresentableHint = "This key can't be part of a shortcut — try another";

    static SettingsWords forKeyboard(const KeyboardMap::Names& keys);
};

}  // namespace corvane
