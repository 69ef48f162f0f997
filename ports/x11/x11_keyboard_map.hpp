#pragma once

#include "app/platform/keyboard_map.hpp"
#include "ports/x11/keyboard.hpp"

namespace corvane::x11 {

// The keyboard map over the keyboard the hot keys keep current (it follows
// every keymap change the server announces). Main thread only.
class X11KeyboardMap final : public KeyboardMap {
public:
    explicit X11KeyboardMap(const Keyboard& keyboard) : keyboard_(keyboard) {}

    std::optional<Key> productKey(std::uint32_t nativeKeyCode) const override;
    // Control, Alt and Super, as PC keyboards label them.
    Names names() const override;

private:
    const Keyboard& keyboard_;
};

// How Linux names the modifiers in shortcuts: Alt and Super, in words.
KeyboardMap::Names linuxModifierNames();

}  // namespace corvane::x11
