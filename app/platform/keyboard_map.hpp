#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

// The user's keyboard layout, read the way our own windows receive keys.
// A product key code stands for the character its key types on a US
// keyboard; this is the way back from a physical key to that code, so that a
// shortcut recorded on any layout fires on the key the user pressed.
// Main thread only.
class KeyboardMap {
public:
    struct Key {
        std::uint32_t keyCode = 0;  // the product key code
        std::string characters;     // what that product key types unshifted on a US keyboard; may be empty
    };

    // How this platform's keyboards name the modifier keys, for every text
    // that names them (shortcuts, hints, lessons). The defaults are the Mac's.
    struct Names {
        std::string control = "Control";
        std::string option = "Option";
        std::string command = "Command";
        std::string shift = "Shift";
        // Short forms, for key caps and footers.
        std::string controlShort = "Ctrl";
        std::string optionShort = "Opt";
        std::string commandShort = "Cmd";
        std::string shiftShort = "Shift";
        // Shortcuts written in words joined by "+" ("Ctrl+Alt+Super+←"), as
        // Linux desktops write them, instead of the glyphs ⌃⌥⇧⌘.
        bool shortcutsInWords = false;
    };

    virtual ~KeyboardMap() = default;

    virtual Names names() const { return {}; }

    // The product key of the physical key with this native code (an X keycode
    // on X11, a virtual key code on macOS) under the current layout: the US
    // key that types the same character at any level, else, where the key
    // types no character a US key has, the key at the same place on a US
    // keyboard. Absent when neither gives a product key.
    virtual std::optional<Key> productKey(std::uint32_t nativeKeyCode) const = 0;

protected:
    KeyboardMap() = default;
    KeyboardMap(const KeyboardMap&) = delete;
    KeyboardMap& operator=(const KeyboardMap&) = delete;
};

}  // namespace corvane
