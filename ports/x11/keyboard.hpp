#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

#include "ports/x11/connection.hpp"
#include "ports/x11/key_mapping.hpp"
#include "ports/x11/key_table.hpp"

struct xkb_context;
struct xkb_keymap;

namespace corvane::x11 {

// The server's current keyboard as XKB describes it: which keys stand for
// each product key on the user's layout (KeyTable), and which modifier bits
// are Alt, Super, Num Lock and the second group. Follows every keymap change
// the server announces. Main thread only.
class Keyboard {
public:
    explicit Keyboard(Connection& connection);
    ~Keyboard();
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    const KeyMapping::ModifierLayout& layout() const { return layout_; }
    // The keys of a product key code on the current layout; empty when none.
    std::vector<xcb_keycode_t> keycodes(std::uint32_t productKey) const {
        return table_.keycodes(productKey);
    }
    // The product key code a physical key stands for (the recorder's way
    // back from a pressed key): the exact inverse of keycodes().
    std::optional<std::uint32_t> productKeyCode(xcb_keycode_t keycode) const {
        return table_.productKeyCode(keycode);
    }

    // Takes the events that announce a keymap change (XKB's new-keyboard
    // and map notifications, and the core mapping notification where XKB
    // is missing); true when the event was one of those. The keyboard is
    // read again by refresh(), once for a whole burst of them.
    bool handleEvent(const xcb_generic_event_t& event);
    // Reads the keyboard again when a change was announced since the last
    // read; true when it did (and so talked to the server).
    bool refresh();
    // Counts the re-reads that changed what the keys stand for or which
    // bits the modifiers are; unchanged by a re-read that found the same.
    std::uint64_t generation() const { return generation_; }

private:
    struct ContextDeleter {
        void operator()(xkb_context* c) const noexcept;
    };
    struct KeymapDeleter {
        void operator()(xkb_keymap* k) const noexcept;
    };

    // Sets up XKB on the connection and asks for its keymap notifications;
    // false where the server has no usable XKB.
    bool setUpXkb();
    void read();
    KeyMapping::ModifierLayout readModifierLayout(xkb_keymap* keymap) const;
    std::uint16_t readGroupBits(xkb_keymap* keymap) const;

    Connection& connection_;
    std::unique_ptr<xkb_context, ContextDeleter> context_;
    std::int32_t deviceId_ = -1;
    std::uint8_t xkbEventBase_ = 0;
    KeyTable table_;
    KeyMapping::ModifierLayout layout_;
    std::uint64_t generation_ = 0;
    bool stale_ = false;
};

}  // namespace corvane::x11
