#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::macos {

// The Mac's virtual key codes are the product's key codes: each names a
// physical position on the ANSI keyboard. This table says which codes stand
// for a key a shortcut may use and what that key types unshifted on a US
// layout ("k", "1", "-"); empty for keys that type nothing printable
// (Space, arrows, Return, function keys, the keypad).
//
// Absent for codes that are no such key: the modifier keys themselves, the
// ISO-only key beside the left Shift, and codes no keyboard sends.
std::optional<std::string> usCharacters(std::uint32_t keyCode);

}  // namespace corvane::macos
