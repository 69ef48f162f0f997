#include "ports/i3ipc/binding_keys.hpp"

#include <xkbcommon/xkbcommon.h>

#include <array>

#include "core/shortcut.hpp"
#include "ports/x11/key_mapping.hpp"

namespace corvane::i3ipc {

std::optional<std::string> bindingCombo(std::uint32_t keyCode, std::uint32_t carbonModifiers) {
    const auto keysym = x11::KeyMapping::keysym(keyCode);
    if (!keysym) return std::nullopt;
    std::array<char, 64> name{};
    if (xkb_keysym_get_name(*keysym, name.data(), name.size()) <= 0) return std::nullopt;
    std::string combo;
    if (carbonModifiers & Shortcut::command) combo += "Mod4+";
    if (carbonModifiers & Shortcut::option) combo += "Mod1+";
    if (carbonModifiers & Shortcut::control) combo += "Ctrl+";
    if (carbonModifiers & Shortcut::shift) combo += "Shift+";
    combo += name.data();
    return combo;
}

}  // namespace corvane::i3ipc
