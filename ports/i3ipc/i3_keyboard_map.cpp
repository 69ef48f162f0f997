#include "ports/i3ipc/i3_keyboard_map.hpp"

#include <cstdio>
#include <memory>
#include <string>

#include "ports/x11/key_mapping.hpp"

namespace corvane::i3ipc {

I3KeyboardMap::I3KeyboardMap() {
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) return;
    const std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS), &xkb_keymap_unref);
    if (keymap) table_ = x11::KeyTable(keymap.get());
}

KeyboardMap::Names I3KeyboardMap::names() const {
    Names names;
    names.option = "Alt";
    names.command = "Super";
    names.optionShort = "Alt";
    names.commandShort = "Super";
    names.shortcutsInWords = true;
    return names;
}

std::optional<KeyboardMap::Key> I3KeyboardMap::productKey(std::uint32_t nativeKeyCode) const {
    if (nativeKeyCode > 255) return std::nullopt;
    const auto keyCode = table_.productKeyCode(static_cast<xcb_keycode_t>(nativeKeyCode));
    if (!keyCode) return std::nullopt;
    return Key{*keyCode, x11::KeyMapping::characters(*keyCode)};
}

void I3Feedback::log(std::string_view message) {
    std::string line = "corvane: ";
    line.append(message);
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace corvane::i3ipc
