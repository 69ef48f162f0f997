#include "ports/x11/keyboard.hpp"

namespace corvane::x11 {

Keyboard::Keyboard(Connection& connection)
    : connection_(connection), symbols_(xcb_key_symbols_alloc(connection.xcb())) {
    readModifierLayout();
}

std::vector<xcb_keycode_t> Keyboard::keycodes(KeyMapping::Keysym keysym) const {
    std::vector<xcb_keycode_t> result;
    if (!symbols_) return result;
    const xcb_setup_t* setup = xcb_get_setup(connection_.xcb());
    for (unsigned code = setup->min_keycode; code <= setup->max_keycode; ++code) {
        const auto keycode = static_cast<xcb_keycode_t>(code);
        if (xcb_key_symbols_get_keysym(symbols_.get(), keycode, 0) == keysym) result.push_back(keycode);
    }
    return result;
}

std::optional<std::uint32_t> Keyboard::productKeyCode(xcb_keycode_t keycode) const {
    if (!symbols_) return std::nullopt;
    for (int column = 0; column < 2; ++column) {
        const auto sym = xcb_key_symbols_get_keysym(symbols_.get(), keycode, column);
        if (sym == XCB_NO_SYMBOL) continue;
        if (const auto code = KeyMapping::keyCode(sym)) return code;
    }
    return std::nullopt;
}

void Keyboard::refresh(xcb_mapping_notify_event_t* event) {
    if (symbols_) xcb_refresh_keyboard_mapping(symbols_.get(), event);
    if (event->request == XCB_MAPPING_MODIFIER || event->request == XCB_MAPPING_KEYBOARD)
        readModifierLayout();
}

void Keyboard::readModifierLayout() {
    std::array<std::vector<KeyMapping::Keysym>, 8> rows;
    xcb_connection_t* c = connection_.xcb();
    auto mapping = reply(c, xcb_get_modifier_mapping(c), xcb_get_modifier_mapping_reply);
    if (mapping && symbols_) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
        const int perRow = mapping->keycodes_per_modifier;
        for (int row = 0; row < 8; ++row) {
            for (int i = 0; i < perRow; ++i) {
                const xcb_keycode_t code = codes[row * perRow + i];
                if (code == 0) continue;
                // Modifier keys are looked up in their first two columns (Alt_L is
                // Meta_L when shifted on many layouts).
                for (int column = 0; column < 2; ++column) {
                    const auto sym = xcb_key_symbols_get_keysym(symbols_.get(), code, column);
                    if (sym != XCB_NO_SYMBOL) rows[static_cast<std::size_t>(row)].push_back(sym);
                }
            }
        }
    }
    layout_ = KeyMapping::layoutFromMapping(rows);
}

}  // namespace corvane::x11
