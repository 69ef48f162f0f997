#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "ports/x11/connection.hpp"
#include "ports/x11/key_mapping.hpp"

namespace corvane::x11 {

// The server's current keyboard: which key codes produce which keysyms, and
// which modifier bits are Alt, Super and Num Lock. Main thread only.
class Keyboard {
public:
    explicit Keyboard(Connection& connection);
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    const KeyMapping::ModifierLayout& layout() const { return layout_; }
    // The key codes whose unshifted keysym is `keysym` (several keys may type
    // the same thing); empty when no key produces it.
    std::vector<xcb_keycode_t> keycodes(KeyMapping::Keysym keysym) const;
    // The product key code a physical key stands for: the first of its
    // keysyms (unshifted, then shifted) that a product key has.
    std::optional<std::uint32_t> productKeyCode(xcb_keycode_t keycode) const;
    // Re-reads the tables after the server announced a new mapping.
    void refresh(xcb_mapping_notify_event_t* event);

private:
    void readModifierLayout();

    struct SymbolsDeleter {
        void operator()(xcb_key_symbols_t* s) const noexcept { xcb_key_symbols_free(s); }
    };
    Connection& connection_;
    std::unique_ptr<xcb_key_symbols_t, SymbolsDeleter> symbols_;
    KeyMapping::ModifierLayout layout_;
};

}  // namespace corvane::x11
