#include "tools/xharness/keyboard.hpp"

#include <X11/keysym.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace corvane::xharness {

namespace {

struct ModifierName {
    std::string_view name;
    xcb_keysym_t keysym;
    std::uint16_t mask;
};

constexpr std::array<ModifierName, 4> modifierNames{{
    {"Ctrl", XK_Control_L, XCB_MOD_MASK_CONTROL},
    {"Alt", XK_Alt_L, XCB_MOD_MASK_1},
    {"Super", XK_Super_L, XCB_MOD_MASK_4},
    {"Shift", XK_Shift_L, XCB_MOD_MASK_SHIFT},
}};

constexpr std::array<std::pair<std::string_view, xcb_keysym_t>, 10> keyNames{{
    {"Left", XK_Left},
    {"Right", XK_Right},
    {"Up", XK_Up},
    {"Down", XK_Down},
    {"Return", XK_Return},
    {"Escape", XK_Escape},
    {"Space", XK_space},
    {"Tab", XK_Tab},
    {"Num_Lock", XK_Num_Lock},
    {"Caps_Lock", XK_Caps_Lock},
}};

xcb_keysym_t keyFromName(std::string_view name) {
    for (const auto& [known, keysym] : keyNames) {
        if (known == name) return keysym;
    }
    // Letters and digits: the keysym is the (lower-case) character itself.
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        return static_cast<xcb_keysym_t>(std::tolower(static_cast<unsigned char>(name[0])));
    }
    throw std::invalid_argument("unknown key name: " + std::string(name));
}

}  // namespace

Chord Chord::parse(std::string_view text) {
    Chord chord;
    chord.text = std::string(text);
    std::size_t start = 0;
    for (;;) {
        std::size_t plus = text.find('+', start);
        std::string_view part = text.substr(start, plus == std::string_view::npos ? plus : plus - start);
        if (plus == std::string_view::npos) {
            chord.key = keyFromName(part);
            return chord;
        }
        auto modifier = std::find_if(modifierNames.begin(), modifierNames.end(),
                                     [&](const ModifierName& m) { return m.name == part; });
        if (modifier == modifierNames.end())
            throw std::invalid_argument("unknown modifier: " + std::string(part));
        chord.modifierKeys.push_back(modifier->keysym);
        chord.modifierMask |= modifier->mask;
        start = plus + 1;
    }
}

Keyboard::Keyboard(XConnection& connection)
    : connection_(connection), symbols_(xcb_key_symbols_alloc(connection.get()), &xcb_key_symbols_free) {}

Keyboard::~Keyboard() = default;

xcb_keycode_t Keyboard::keycode(xcb_keysym_t keysym) {
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(
        xcb_key_symbols_get_keycode(symbols_.get(), keysym), &std::free);
    return codes ? codes.get()[0] : 0;
}

void Keyboard::press(const Chord& chord) {
    std::vector<xcb_keycode_t> codes;
    for (xcb_keysym_t keysym : chord.modifierKeys) codes.push_back(keycode(keysym));
    codes.push_back(chord.keycode ? chord.keycode : keycode(chord.key));
    if (std::find(codes.begin(), codes.end(), 0) != codes.end()) {
        throw std::runtime_error("no key on this server types " + chord.text);
    }
    xcb_connection_t* c = connection_.get();
    for (xcb_keycode_t code : codes) {
        xcb_test_fake_input(c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    connection_.sync();
}

bool Keyboard::grab(const Chord& chord) {
    xcb_keycode_t code = chord.keycode ? chord.keycode : keycode(chord.key);
    if (code == 0) throw std::runtime_error("no key on this server types " + chord.text);
    // The exact combination only: that is the one a hot-key client must get
    // (the lock-key variants are its own business).
    xcb_void_cookie_t cookie =
        xcb_grab_key_checked(connection_.get(), 1, connection_.root(), chord.modifierMask, code,
                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t* error = xcb_request_check(connection_.get(), cookie)) {
        std::free(error);
        return false;
    }
    return true;
}

void Keyboard::ungrab(const Chord& chord) {
    xcb_ungrab_key(connection_.get(), chord.keycode ? chord.keycode : keycode(chord.key), connection_.root(),
                   chord.modifierMask);
    connection_.sync();
}

void Keyboard::ensureModifierMapping() {
    xcb_connection_t* c = connection_.get();
    auto reply = adoptReply(xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (!reply) throw std::runtime_error("cannot read the modifier mapping");
    const int perModifier = reply->keycodes_per_modifier;
    const xcb_keycode_t* current = xcb_get_modifier_mapping_keycodes(reply.get());
    std::vector<std::vector<xcb_keycode_t>> rows(8);
    for (int row = 0; row < 8; ++row) {
        for (int i = 0; i < perModifier; ++i) {
            if (xcb_keycode_t code = current[row * perModifier + i]; code != 0) rows[row].push_back(code);
        }
    }
    // Rows: 0 Shift, 1 Lock, 2 Control, 3 Mod1 ... 6 Mod4, 7 Mod5.
    bool changed = false;
    for (auto [keysym, row] : {std::pair<xcb_keysym_t, int>{XK_Alt_L, 3}, {XK_Super_L, 6}}) {
        xcb_keycode_t code = keycode(keysym);
        if (code == 0) throw std::runtime_error("the server's keymap has no key for a required modifier");
        if (std::find(rows[row].begin(), rows[row].end(), code) != rows[row].end()) continue;
        for (auto& other : rows) std::erase(other, code);
        rows[row].push_back(code);
        changed = true;
    }
    if (!changed) return;
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    std::vector<xcb_keycode_t> table(8 * width, 0);
    for (std::size_t row = 0; row < 8; ++row)
        std::copy(rows[row].begin(), rows[row].end(), &table[row * width]);
    auto set = adoptReply(xcb_set_modifier_mapping_reply(
        c, xcb_set_modifier_mapping(c, static_cast<std::uint8_t>(width), table.data()), nullptr));
    if (!set || set->status != XCB_MAPPING_STATUS_SUCCESS) {
        throw std::runtime_error("the server refused the modifier mapping");
    }
}

}  // namespace corvane::xharness
