#include "ports/x11/x11_keyboard_map.hpp"

namespace corvane::x11 {

std::optional<KeyboardMap::Key> X11KeyboardMap::productKey(std::uint32_t nativeKeyCode) const {
    if (nativeKeyCode > 255) return std::nullopt;
    const auto keyCode = keyboard_.productKeyCode(static_cast<xcb_keycode_t>(nativeKeyCode));
    if (!keyCode) return std::nullopt;
    return Key{*keyCode, KeyMapping::characters(*keyCode)};
}

KeyboardMap::Names linuxModifierNames() {
    KeyboardMap::Names names;
    names.option = "Alt";
    names.command = "Super";
    names.optionShort = "Alt";
    names.commandShort = "Super";
    names.shortcutsInWords = true;
    return names;
}

KeyboardMap::Names X11KeyboardMap::names() const {
    return linuxModifierNames();
}

}  // namespace corvane::x11
