#include "ports/macos/mac_key_codes.hpp"

#include <string_view>

namespace corvane::macos {

namespace {

struct KeyEntry {
    std::uint32_t keyCode;
    std::string_view characters;
};

constexpr KeyEntry kKeys[] = {
    // Letters, by position.
    {0x00, "a"},
    {0x01, "s"},
    {0x02, "d"},
    {0x03, "f"},
    {0x04, "h"},
    {0x05, "g"},
    {0x06, "z"},
    {0x07, "x"},
    {0x08, "c"},
    {0x09, "v"},
    {0x0B, "b"},
    {0x0C, "q"},
    {0x0D, "w"},
    {0x0E, "e"},
    {0x0F, "r"},
    {0x10, "y"},
    {0x11, "t"},
    {0x1F, "o"},
    {0x20, "u"},
    {0x22, "i"},
    {0x23, "p"},
    {0x25, "l"},
    {0x26, "j"},
    {0x28, "k"},
    {0x2D, "n"},
    {0x2E, "m"},
    // The digit row: not in numeric order on the board.
    {0x12, "1"},
    {0x13, "2"},
    {0x14, "3"},
    {0x15, "4"},
    {0x17, "5"},
    {0x16, "6"},
    {0x1A, "7"},
    {0x1C, "8"},
    {0x19, "9"},
    {0x1D, "0"},
    // Punctuation of the main block.
    {0x18, "="},
    {0x1B, "-"},
    {0x1E, "]"},
    {0x21, "["},
    {0x27, "'"},
    {0x29, ";"},
    {0x2A, "\\"},
    {0x2B, ","},
    {0x2C, "/"},
    {0x2F, "."},
    {0x32, "`"},
    // Keys that type nothing printable.
    {0x24, ""},  // Return
    {0x30, ""},  // Tab
    {0x31, ""},  // Space
    {0x33, ""},  // Delete (backspace)
    {0x35, ""},  // Escape
    {0x72, ""},  // Help / Insert
    {0x73, ""},  // Home
    {0x74, ""},  // Page Up
    {0x75, ""},  // Forward Delete
    {0x77, ""},  // End
    {0x79, ""},  // Page Down
    {0x7B, ""},  // Left
    {0x7C, ""},  // Right
    {0x7D, ""},  // Down
    {0x7E, ""},  // Up
    // Function keys F1 ... F20.
    {0x7A, ""},
    {0x78, ""},
    {0x63, ""},
    {0x76, ""},
    {0x60, ""},
    {0x61, ""},
    {0x62, ""},
    {0x64, ""},
    {0x65, ""},
    {0x6D, ""},
    {0x67, ""},
    {0x6F, ""},
    {0x69, ""},
    {0x6B, ""},
    {0x71, ""},
    {0x6A, ""},
    {0x40, ""},
    {0x4F, ""},
    {0x50, ""},
    {0x5A, ""},
    // The keypad: digits, operators, Clear, Enter.
    {0x52, ""},
    {0x53, ""},
    {0x54, ""},
    {0x55, ""},
    {0x56, ""},
    {0x57, ""},
    {0x58, ""},
    {0x59, ""},
    {0x5B, ""},
    {0x5C, ""},
    {0x41, ""},
    {0x43, ""},
    {0x45, ""},
    {0x47, ""},
    {0x4B, ""},
    {0x4C, ""},
    {0x4E, ""},
    {0x51, ""},
};

}  // namespace

std::optional<std::string> usCharacters(std::uint32_t keyCode) {
    for (const auto& k : kKeys)
        if (k.keyCode == keyCode) return std::string(k.characters);
    return std::nullopt;
}

}  // namespace corvane::macos
