#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::x11 {

// The translation between the product's stored keys (platform virtual key
// codes and Carbon modifier bits, so that a configuration file means the same
// everywhere) and X keysyms and modifier masks. Pure: no X connection.
namespace KeyMapping {

using Keysym = std::uint32_t;

// The unshifted keysym of the physical key a product key code names (letters
// give their lower-case keysym); absent for key codes without an X equivalent.
std::optional<Keysym> keysym(std::uint32_t keyCode);
// The product key code of a keysym as a key event reports it (either case of
// a letter, ISO_Left_Tab for shifted Tab); absent when no product key has it.
std::optional<std::uint32_t> keyCode(Keysym keysym);
// What a product key types unshifted on a US keyboard ("k", "1", "-"); empty
// for keys that type nothing printable (arrows, Return, function keys).
std::string characters(std::uint32_t keyCode);
// The XKB name of the key at the product key's position on a US keyboard
// ("AB07" for M, "AE01" for 1, "LEFT"); the key a shortcut falls back to when
// the user's layout types its character nowhere (a non-Latin layout).
std::optional<std::string_view> usKeyName(std::uint32_t keyCode);
// Every product key code the port knows, in a fixed order.
std::vector<std::uint32_t> allKeyCodes();

// Which X modifier bits stand for Alt, Super and Num Lock on this server.
// Shift, Lock and Control have fixed bits.
struct ModifierLayout {
    std::uint16_t alt = 0;
    std::uint16_t super = 0;
    std::uint16_t numLock = 0;
    // The bits a keyboard group other than the first sets in the state the
    // server matches grabs against (with two layouts, the second one's
    // group usually shows as Mod5); grabs cover them like the locks.
    std::uint16_t group = 0;
    friend bool operator==(const ModifierLayout&, const ModifierLayout&) = default;
};

// The layout from the server's modifier mapping: for each of the eight
// modifier rows (Shift, Lock, Control, Mod1 ... Mod5) the keysyms of its keys.
// A row holding Alt_L/Alt_R/Meta gives Alt, Super_L/Super_R gives Super,
// Num_Lock gives Num Lock. Alt and Super fall back to Mod1 and Mod4 when no
// row holds them; Num Lock falls back to nothing (its variants are not needed).
ModifierLayout layoutFromMapping(const std::array<std::vector<Keysym>, 8>& rows);

// Carbon mask to X modifier mask: Command -> Super, Option -> Alt,
// Control -> Control, Shift -> Shift; other Carbon bits are ignored.
std::uint16_t xModifiers(std::uint32_t carbonMask, const ModifierLayout& layout);
// X modifier state (of a key event) back to the Carbon mask; lock bits and
// unknown bits are ignored.
std::uint32_t carbonModifiers(std::uint16_t xState, const ModifierLayout& layout);

// The lock bits a passive grab must also cover so that a shortcut works with
// Caps Lock and Num Lock on, in any keyboard group: every combination of
// Lock, Num Lock and the group bits.
std::vector<std::uint16_t> lockVariants(const ModifierLayout& layout);
// The modifier state of a key event with the lock and group bits (and the
// pointer button bits) cleared, so that it can be compared with a grab's modifiers.
std::uint16_t withoutLocks(std::uint16_t xState, const ModifierLayout& layout);

}  // namespace KeyMapping

}  // namespace corvane::x11
