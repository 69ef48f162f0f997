#include "ports/gnome/gnome_keyboard_map.hpp"

#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <memory>
#include <regex>

#include "ports/x11/key_mapping.hpp"

namespace corvane::gnome {

std::optional<InputSource> firstXkbSource(const std::string& text) {
    static const std::regex source(R"(\(\s*'xkb'\s*,\s*'([^']*)'\s*\))");
    std::smatch match;
    if (!std::regex_search(text, match, source)) return std::nullopt;
    const std::string name = match[1].str();
    if (name.empty()) return std::nullopt;
    const auto plus = name.find('+');
    if (plus == std::string::npos) return InputSource{name, {}};
    return InputSource{name.substr(0, plus), name.substr(plus + 1)};
}

// Read before the toolkit starts (the port is chosen first), so through a
// plain pipe; the command line is fixed.
std::optional<InputSource> GnomeKeyboardMap::userSource() {
    const std::unique_ptr<FILE, decltype(&pclose)> pipe(
        popen("gsettings get org.gnome.desktop.input-sources sources 2>/dev/null", "r"), &pclose);
    if (!pipe) return std::nullopt;
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
    return firstXkbSource(text);
}

GnomeKeyboardMap::GnomeKeyboardMap(const std::optional<InputSource>& source) {
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS), &xkb_context_unref);
    if (!context) return;
    xkb_rule_names names{};
    if (source) {
        names.layout = source->layout.c_str();
        names.variant = source->variant.empty() ? nullptr : source->variant.c_str();
    }
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS), &xkb_keymap_unref);
    // A layout this system does not know types as the default one.
    if (!keymap) keymap.reset(xkb_keymap_new_from_names(context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (keymap) table_ = x11::KeyTable(keymap.get());
}

KeyboardMap::Names GnomeKeyboardMap::names() const {
    Names names;
    names.option = "Alt";
    names.command = "Super";
    names.optionShort = "Alt";
    names.commandShort = "Super";
    names.shortcutsInWords = true;
    return names;
}

std::optional<KeyboardMap::Key> GnomeKeyboardMap::productKey(std::uint32_t nativeKeyCode) const {
    if (nativeKeyCode > 255) return std::nullopt;
    const auto keyCode = table_.productKeyCode(static_cast<xcb_keycode_t>(nativeKeyCode));
    if (!keyCode) return std::nullopt;
    return Key{*keyCode, x11::KeyMapping::characters(*keyCode)};
}

}  // namespace corvane::gnome
