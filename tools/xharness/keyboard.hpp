#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/xharness/x_connection.hpp"

namespace corvane::xharness {

// A key combination as a person types it: "Ctrl+Alt+Super+Left",
// "Ctrl+Alt+Shift+3". Modifiers are the left-hand keys (Ctrl, Alt, Super,
// Shift); the last part names one key (Left, Right, Up, Down, a letter, a
// digit, or any keysym name the table knows). A lock key alone
// ("Num_Lock", "Caps_Lock") types as a tap that toggles its lock.
struct Chord {
    std::vector<xcb_keysym_t> modifierKeys;
    xcb_keysym_t key = 0;
    std::uint16_t modifierMask = 0;  // Control, Mod1 (Alt), Mod4 (Super), Shift
    std::string text;
    // When set, the key pressed or grabbed, whatever it types on the
    // current layout (a key at a US position on a Cyrillic layout).
    xcb_keycode_t keycode = 0;

    // Throws std::invalid_argument for a name it does not know.
    static Chord parse(std::string_view text);
};

// Typing through XTEST and holding grabs, with keycodes taken from the
// server's own keyboard mapping.
class Keyboard {
public:
    explicit Keyboard(XConnection& connection);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    // Keycode of a keysym in the server's mapping; 0 when no key has it.
    xcb_keycode_t keycode(xcb_keysym_t keysym);

    // Presses the modifiers in order, then the key, and releases them in
    // reverse, as one typed chord; returns after a round trip, so the server
    // has delivered the press to whoever grabbed it.
    void press(const Chord& chord);
    void press(std::string_view chord) { press(Chord::parse(chord)); }

    // Grabs the chord on the root window for this connection, exactly as a
    // hot-key client would. False when the server refuses (another client
    // holds it: BadAccess).
    bool grab(const Chord& chord);
    void ungrab(const Chord& chord);

    // Puts Super_L on Mod4 and Alt_L on Mod1 when the server's modifier map
    // lacks them, so that the default shortcuts are typeable. Throws when the
    // server refuses the new map.
    void ensureModifierMapping();

private:
    XConnection& connection_;
    std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)> symbols_;
};

}  // namespace corvane::xharness
