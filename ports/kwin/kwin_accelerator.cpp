#include "ports/kwin/kwin_accelerator.hpp"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <array>
#include <cwctype>
#include <memory>
#include <utility>

#include "core/shortcut.hpp"
#include "ports/x11/key_mapping.hpp"
#include "ports/x11/key_table.hpp"

namespace corvane::kwin {

namespace {

struct StateFree {
    void operator()(xkb_state* s) const { xkb_state_unref(s); }
};

// The names Qt's key sequences use for keys that type nothing.
std::optional<std::string> namedKey(xkb_keysym_t keysym) {
    static constexpr std::array<std::pair<xkb_keysym_t, const char*>, 18> names{{
        {XKB_KEY_Left, "Left"},
        {XKB_KEY_Right, "Right"},
        {XKB_KEY_Up, "Up"},
        {XKB_KEY_Down, "Down"},
        {XKB_KEY_Return, "Return"},
        {XKB_KEY_KP_Enter, "Enter"},
        {XKB_KEY_Tab, "Tab"},
        {XKB_KEY_ISO_Left_Tab, "Backtab"},
        {XKB_KEY_BackSpace, "Backspace"},
        {XKB_KEY_Escape, "Esc"},
        {XKB_KEY_Delete, "Del"},
        {XKB_KEY_Insert, "Ins"},
        {XKB_KEY_Home, "Home"},
        {XKB_KEY_End, "End"},
        {XKB_KEY_Prior, "PgUp"},
        {XKB_KEY_Next, "PgDown"},
        {XKB_KEY_space, "Space"},
        {XKB_KEY_Help, "Help"},
    }};
    for (const auto& [sym, name] : names)
        if (sym == keysym) return name;
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35) return "F" + std::to_string(keysym - XKB_KEY_F1 + 1);
    return std::nullopt;
}

std::string utf8(std::uint32_t codepoint) {
    std::array<char, 8> text{};
    const int n = xkb_keysym_to_utf8(xkb_utf32_to_keysym(codepoint), text.data(), text.size());
    return n > 1 ? std::string(text.data()) : std::string();
}

// Qt's name for what a key produced: letters upper case, other printable
// characters as themselves.
std::optional<std::string> qtKeyName(xkb_keysym_t keysym, bool& isLetter) {
    isLetter = false;
    if (auto named = namedKey(keysym)) return named;
    const std::uint32_t codepoint = xkb_keysym_to_utf32(keysym);
    if (codepoint < 0x21 || codepoint == 0x7f) return std::nullopt;
    isLetter = std::iswalpha(static_cast<wint_t>(codepoint)) != 0;
    const std::string text =
        utf8(isLetter ? static_cast<std::uint32_t>(std::towupper(codepoint)) : codepoint);
    if (text.empty()) return std::nullopt;
    return text;
}

std::string modifierPrefix(std::uint32_t carbon, bool shift) {
    // Qt's own order, so the registry shows the text it would write itself.
    std::string prefix;
    if (carbon & Shortcut::control) prefix += "Ctrl+";
    if (carbon & Shortcut::option) prefix += "Alt+";
    if (shift) prefix += "Shift+";
    if (carbon & Shortcut::command) prefix += "Meta+";
    return prefix;
}

// What the key of `keyCode` on `keymap` produces with the shortcut's
// modifiers held, and whether Shift was used up choosing it.
std::optional<std::pair<xkb_keysym_t, bool>> produced(std::uint32_t keyCode, std::uint32_t carbon,
                                                      xkb_keymap* keymap) {
    const auto keys = x11::KeyTable(keymap).keycodes(keyCode);
    if (keys.empty()) return std::nullopt;
    const std::unique_ptr<xkb_state, StateFree> state(xkb_state_new(keymap));
    if (!state) return std::nullopt;
    xkb_mod_mask_t mask = 0;
    const auto add = [&](const char* name) {
        const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
        if (index != XKB_MOD_INVALID) mask |= 1u << index;
    };
    if (carbon & Shortcut::shift) add(XKB_MOD_NAME_SHIFT);
    if (carbon & Shortcut::control) add(XKB_MOD_NAME_CTRL);
    if (carbon & Shortcut::option) add(XKB_MOD_NAME_ALT);
    if (carbon & Shortcut::command) add(XKB_MOD_NAME_LOGO);
    xkb_state_update_mask(state.get(), mask, 0, 0, 0, 0, 0);
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state.get(), keys.front());
    if (sym == XKB_KEY_NoSymbol) return std::nullopt;
    const xkb_mod_index_t shiftIndex = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    const bool consumed = (carbon & Shortcut::shift) && shiftIndex != XKB_MOD_INVALID &&
                          xkb_state_mod_index_is_consumed(state.get(), keys.front(), shiftIndex) == 1;
    return std::make_pair(sym, consumed);
}

}  // namespace

std::optional<std::string> kwinAccelerator(std::uint32_t keyCode, std::uint32_t carbonModifiers,
                                           xkb_keymap* keymap) {
    std::optional<std::pair<xkb_keysym_t, bool>> key;
    if (keymap) key = produced(keyCode, carbonModifiers, keymap);
    if (!key) {
        const auto keysym = x11::KeyMapping::keysym(keyCode);
        if (!keysym) return std::nullopt;
        key = std::make_pair(*keysym, false);
    }
    bool isLetter = false;
    const auto name = qtKeyName(key->first, isLetter);
    if (!name) return std::nullopt;
    // Shift that chose the symbol is part of the symbol, except for letters,
    // which KWin keeps as Shift+letter.
    const bool shift = (carbonModifiers & Shortcut::shift) && (!key->second || isLetter);
    return modifierPrefix(carbonModifiers, shift) + *name;
}

}  // namespace corvane::kwin
