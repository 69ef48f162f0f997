#include "ports/x11/layout_keyboard_map.hpp"
#include "ports/x11/x11_keyboard_map.hpp"

#include <xkbcommon/xkbcommon.h>

#include <memory>

#include "ports/x11/key_mapping.hpp"
#include "ports/x11/x11_keyboard_map.hpp"

namespace corvane::x11 {

LayoutKeyboardMap::LayoutKeyboardMap(const std::optional<XkbLayout>& layout) {
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) return;
    xkb_rule_names names{};
    if (layout) {
        names.layout = layout->layout.c_str();
        names.variant = layout->variant.empty() ? nullptr : layout->variant.c_str();
    }
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS), &xkb_keymap_unref);
    // A layout this system does not know types as the default one.
    if (!keymap) keymap.reset(xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (keymap) table_ = KeyTable(keymap.get());
}

KeyboardMap::Names LayoutKeyboardMap::names() const {
    return linuxModifierNames();
}

std::optional<KeyboardMap::Key> LayoutKeyboardMap::productKey(std::uint32_t nativeKeyCode) const {
    if (nativeKeyCode > 255) return std::nullopt;
    const auto keyCode = table_.productKeyCode(static_cast<xcb_keycode_t>(nativeKeyCode));
    if (!keyCode) return std::nullopt;
    return Key{*keyCode, KeyMapping::characters(*keyCode)};
}

}  // namespace corvane::x11
