#include "ports/macos/mac_keyboard_map.hpp"

#include "ports/macos/mac_key_codes.hpp"

namespace corvane::macos {

std::optional<KeyboardMap::Key> MacKeyboardMap::productKey(std::uint32_t nativeKeyCode) const {
    auto characters = usCharacters(nativeKeyCode);
    if (!characters) return std::nullopt;
    return Key{nativeKeyCode, std::move(*characters)};
}

}  // namespace corvane::macos
