#include "app/shell/shortcut_text.hpp"

#include <optional>
#include <string_view>

namespace corvane {

namespace {

// Keys whose Mac label is a glyph, by product key code, and the word other
// desktops print on the key cap.
std::optional<std::string_view> keyWord(std::uint32_t keyCode) {
    switch (keyCode) {
        case 36:
            return "Return";
        case 76:
            return "Enter";
        case 48:
            return "Tab";
        case 51:
            return "Backspace";
        case 117:
            return "Delete";
        case 53:
            return "Esc";
        case 115:
            return "Home";
        case 119:
            return "End";
        case 116:
            return "Page Up";
        case 121:
            return "Page Down";
        default:
            return std::nullopt;
    }
}

}  // namespace

std::string shortcutText(const Shortcut& shortcut, const KeyboardMap::Names& names) {
    if (!names.shortcutsInWords) return shortcut.display();
    std::string text;
    // Same order as the glyphs: Control, Option, Shift, Command.
    if (shortcut.modifiers & Shortcut::control) text += names.controlShort + "+";
    if (shortcut.modifiers & Shortcut::option) text += names.optionShort + "+";
    if (shortcut.modifiers & Shortcut::shift) text += names.shiftShort + "+";
    if (shortcut.modifiers & Shortcut::command) text += names.commandShort + "+";
    return text + keyText(shortcut, names);
}

std::string keyText(const Shortcut& shortcut, const KeyboardMap::Names& names) {
    if (!names.shortcutsInWords) return shortcut.key;
    const auto word = keyWord(shortcut.keyCode);
    return word ? std::string(*word) : shortcut.key;
}

std::string exampleModifiers(const KeyboardMap::Names& names) {
    return shortcutText(Shortcut{0, Shortcut::control | Shortcut::option | Shortcut::command, ""}, names);
}

}  // namespace corvane
