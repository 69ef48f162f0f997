#include "ports/compositor/accelerator.hpp"

#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cctype>

#include "core/shortcut.hpp"
#include "ports/x11/key_mapping.hpp"

namespace corvane::compositor {

namespace {

// Qt names printable keys by their character and a few others its own way.
std::string qtKeyName(const std::string& keysymName, std::uint32_t keysym) {
    if (keysymName.size() == 1) {
        return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(keysymName[0]))));
    }
    const std::uint32_t codepoint = xkb_keysym_to_utf32(keysym);
    if (codepoint > 0x20 && codepoint < 0x7f) return std::string(1, static_cast<char>(codepoint));
    if (keysymName == "BackSpace") return "Backspace";
    if (keysymName == "Prior") return "PgUp";
    if (keysymName == "Next") return "PgDown";
    if (keysymName == "Escape") return "Esc";
    if (keysymName == "Delete") return "Del";
    if (keysymName == "Insert") return "Ins";
    return keysymName;
}

}  // namespace

std::optional<std::string> accelerator(std::uint32_t keyCode, std::uint32_t carbonModifiers,
                                       AcceleratorSyntax syntax) {
    const auto keysym = x11::KeyMapping::keysym(keyCode);
    if (!keysym) return std::nullopt;
    std::array<char, 64> buffer{};
    if (xkb_keysym_get_name(*keysym, buffer.data(), buffer.size()) <= 0) return std::nullopt;
    const std::string name = buffer.data();
    std::string text;
    if (syntax == AcceleratorSyntax::gtk) {
        if (carbonModifiers & Shortcut::control) text += "<Control>";
        if (carbonModifiers & Shortcut::option) text += "<Alt>";
        if (carbonModifiers & Shortcut::command) text += "<Super>";
        if (carbonModifiers & Shortcut::shift) text += "<Shift>";
        return text + name;
    }
    if (carbonModifiers & Shortcut::control) text += "Ctrl+";
    if (carbonModifiers & Shortcut::option) text += "Alt+";
    if (carbonModifiers & Shortcut::command) text += "Meta+";
    if (carbonModifiers & Shortcut::shift) text += "Shift+";
    return text + qtKeyName(name, *keysym);
}

}  // namespace corvane::compositor
