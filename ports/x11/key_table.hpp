#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include <xcb/xcb.h>

struct xkb_keymap;

namespace corvane::x11 {

// Which physical keys stand for each product key on one keymap, and back.
// A product key stands for the character it types on a US keyboard; on the
// user's layout it is the key that types that character, at any shift level
// and in any group, so a French user's Ctrl+Alt+1 is the key labelled 1
// (shifted there) and Full Screen is the key labelled M. Where no key types
// the character (a Cyrillic layout has no Latin letters) it is the key at
// the US position. A key stands for at most one product key, so the way
// back from a pressed key (the recorder's) is exactly the inverse.
//
// Pure: built once from a compiled keymap, of which it keeps nothing.
class KeyTable {
public:
    KeyTable() = default;
    explicit KeyTable(xkb_keymap* keymap);

    // The keys of a product key code; empty when this keymap has none for it.
    std::vector<xcb_keycode_t> keycodes(std::uint32_t productKey) const;
    // The product key code a key stands for; absent for keys that stand for none.
    std::optional<std::uint32_t> productKeyCode(xcb_keycode_t keycode) const;

    friend bool operator==(const KeyTable&, const KeyTable&) = default;

private:
    std::map<std::uint32_t, std::vector<xcb_keycode_t>> keys_;
    std::map<xcb_keycode_t, std::uint32_t> products_;
};

}  // namespace corvane::x11
