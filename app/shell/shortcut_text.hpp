#pragma once

#include <string>

#include "app/platform/keyboard_map.hpp"
#include "core/shortcut.hpp"

namespace corvane {

// A shortcut as this platform's keyboards write it, for every place that
// shows one (menu, settings rows): the glyphs "⌃⌥⇧⌘←" on the Mac, and
// "Ctrl+Alt+Super+←" where shortcuts are written in words. Keys that the
// Mac labels with a glyph nobody else uses (⌫, ⎋, ↩, …) get their word
// then. The stored label (Shortcut::key) is never changed.
std::string shortcutText(const Shortcut& shortcut, const KeyboardMap::Names& names);

// The key alone, as shortcutText writes it after the modifiers.
std::string keyText(const Shortcut& shortcut, const KeyboardMap::Names& names);

// The required modifiers Control, Option and Command as the example of a
// valid combination: "⌃⌥⌘", or "Ctrl+Alt+Super+" in words (ready for a key).
std::string exampleModifiers(const KeyboardMap::Names& names);

}  // namespace corvane
