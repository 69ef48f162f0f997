#include "ports/x11/keyboard.hpp"

#include <array>

// xkb.h names a structure member `explicit`, a C++ keyword; clang warns
// about redefining a keyword, which is the point here.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace corvane::x11 {

void Keyboard::ContextDeleter::operator()(xkb_context* c) const noexcept {
    xkb_context_unref(c);
}
void Keyboard::KeymapDeleter::operator()(xkb_keymap* k) const noexcept {
    xkb_keymap_unref(k);
}

Keyboard::Keyboard(Connection& connection) : connection_(connection) {
    if (!setUpXkb()) deviceId_ = -1;
    read();
}

Keyboard::~Keyboard() = default;

bool Keyboard::setUpXkb() {
    xcb_connection_t* c = connection_.xcb();
    std::uint8_t eventBase = 0;
    if (!xkb_x11_setup_xkb_extension(c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &eventBase,
                                     nullptr))
        return false;
    deviceId_ = xkb_x11_get_core_keyboard_device_id(c);
    if (deviceId_ < 0) return false;
    context_.reset(xkb_context_new(
        static_cast<xkb_context_flags>(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    if (!context_) return false;
    xkbEventBase_ = eventBase;

    // A client that uses XKB no longer gets the core notification for a new
    // keyboard (setxkbmap, the first key from another device): ask for XKB's.
    // (Compatibility-map changes alone are not asked for: xcb-xkb pads
    // their one-byte details wrongly, and setxkbmap announces a new keyboard.)
    constexpr std::uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
    constexpr std::uint16_t newKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    constexpr std::uint16_t mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS |
                                       XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS |
                                       XCB_XKB_MAP_PART_KEY_ACTIONS | XCB_XKB_MAP_PART_VIRTUAL_MODS |
                                       XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    xcb_xkb_select_events_details_t details{};
    details.affectNewKeyboard = newKeyboard;
    details.newKeyboardDetails = newKeyboard;
    XPtr<xcb_generic_error_t> error(xcb_request_check(
        c, awaiting(c, xcb_xkb_select_events_aux_checked(c, static_cast<xcb_xkb_device_spec_t>(deviceId_),
                                                         events, 0, 0, mapParts, mapParts, &details))));
    return !error;
}

bool Keyboard::handleEvent(const xcb_generic_event_t& event) {
    const std::uint8_t type = event.response_type & 0x7f;
    if (!context_) {
        if (type != XCB_MAPPING_NOTIFY) return false;
        stale_ = true;
        return true;
    }
    if (type != xkbEventBase_) return false;
    // Every XKB event has its own type in the second byte and the device in the ninth.
    const auto& any = reinterpret_cast<const xcb_xkb_new_keyboard_notify_event_t&>(event);
    if (any.xkbType != XCB_XKB_NEW_KEYBOARD_NOTIFY && any.xkbType != XCB_XKB_MAP_NOTIFY) return false;
    if (any.deviceID == deviceId_) stale_ = true;
    return true;
}

bool Keyboard::refresh() {
    if (!stale_) return false;
    stale_ = false;
    read();
    return true;
}

void Keyboard::read() {
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap;
    if (context_)
        keymap.reset(xkb_x11_keymap_new_from_device(context_.get(), connection_.xcb(), deviceId_,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS));
    // Without a keymap no key stands for anything: every shortcut is refused,
    // which is the truth about what can be grabbed.
    KeyTable table(keymap.get());
    const auto layout = readModifierLayout(keymap.get());
    if (table == table_ && layout == layout_) return;
    table_ = std::move(table);
    layout_ = layout;
    ++generation_;
}

KeyMapping::ModifierLayout Keyboard::readModifierLayout(xkb_keymap* keymap) const {
    std::array<std::vector<KeyMapping::Keysym>, 8> rows;
    xcb_connection_t* c = connection_.xcb();
    auto mapping = reply(c, xcb_get_modifier_mapping(c), xcb_get_modifier_mapping_reply);
    if (mapping && keymap) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
        const int perRow = mapping->keycodes_per_modifier;
        for (int row = 0; row < 8; ++row) {
            for (int i = 0; i < perRow; ++i) {
                const xcb_keycode_t code = codes[row * perRow + i];
                if (code == 0) continue;
                // Modifier keys are looked up on their first two levels (Alt_L
                // is Meta_L when shifted on many layouts).
                for (xkb_level_index_t level = 0; level < 2; ++level) {
                    const xkb_keysym_t* syms = nullptr;
                    const int count = xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &syms);
                    for (int s = 0; s < count; ++s) rows[static_cast<std::size_t>(row)].push_back(syms[s]);
                }
            }
        }
    }
    auto layout = KeyMapping::layoutFromMapping(rows);
    layout.group = keymap ? readGroupBits(keymap) : 0;
    return layout;
}

// The modifier bits the server adds to the state that core grabs are
// matched against while a group other than the first is active: its
// compatibility map's group entries (usually the second layout shows as
// Mod5). Only groups the keymap has count.
std::uint16_t Keyboard::readGroupBits(xkb_keymap* keymap) const {
    xcb_connection_t* c = connection_.xcb();
    constexpr std::uint8_t allGroups = 0x0f;
    auto compat =
        reply(c, xcb_xkb_get_compat_map(c, static_cast<xcb_xkb_device_spec_t>(deviceId_), allGroups, 0, 0, 0),
              xcb_xkb_get_compat_map_reply);
    if (!compat) return 0;
    const xkb_layout_index_t groups = xkb_keymap_num_layouts(keymap);
    const xcb_xkb_mod_def_t* defs = xcb_xkb_get_compat_map_group_rtrn(compat.get());
    const int count = xcb_xkb_get_compat_map_group_rtrn_length(compat.get());
    std::uint16_t bits = 0;
    int entry = 0;
    for (unsigned group = 0; group < 4 && entry < count; ++group) {
        if (!(compat->groupsRtrn & (1u << group))) continue;
        if (group > 0 && group < groups)
            bits |= static_cast<std::uint16_t>(defs[entry].mask | defs[entry].realMods);
        ++entry;
    }
    return bits;
}

}  // namespace corvane::x11
