#include "ports/x11/key_mapping.hpp"

#include <algorithm>

#include <X11/keysym.h>

namespace corvane::x11::KeyMapping {

namespace {

struct KeyPair {
    std::uint32_t keyCode;
    Keysym keysym;
    std::string_view usKey;  // the XKB name of the key at that position
};

// Product key codes are positions on the ANSI keyboard the stored form was
// defined on; each names the key by what it types unshifted on a US layout
// and by the position's XKB key name, which every keycode set shares.
constexpr KeyPair kKeys[] = {
    // Letters.
    {0, XK_a, "AC01"},
    {11, XK_b, "AB05"},
    {8, XK_c, "AB03"},
    {2, XK_d, "AC03"},
    {14, XK_e, "AD03"},
    {3, XK_f, "AC04"},
    {5, XK_g, "AC05"},
    {4, XK_h, "AC06"},
    {34, XK_i, "AD08"},
    {38, XK_j, "AC07"},
    {40, XK_k, "AC08"},
    {37, XK_l, "AC09"},
    {46, XK_m, "AB07"},
    {45, XK_n, "AB06"},
    {31, XK_o, "AD09"},
    {35, XK_p, "AD10"},
    {12, XK_q, "AD01"},
    {15, XK_r, "AD04"},
    {1, XK_s, "AC02"},
    {17, XK_t, "AD05"},
    {32, XK_u, "AD07"},
    {9, XK_v, "AB04"},
    {13, XK_w, "AD02"},
    {7, XK_x, "AB02"},
    {16, XK_y, "AD06"},
    {6, XK_z, "AB01"},
    // Digits of the main row.
    {29, XK_0, "AE10"},
    {18, XK_1, "AE01"},
    {19, XK_2, "AE02"},
    {20, XK_3, "AE03"},
    {21, XK_4, "AE04"},
    {23, XK_5, "AE05"},
    {22, XK_6, "AE06"},
    {26, XK_7, "AE07"},
    {28, XK_8, "AE08"},
    {25, XK_9, "AE09"},
    // Punctuation of the main block.
    {27, XK_minus, "AE11"},
    {24, XK_equal, "AE12"},
    {33, XK_bracketleft, "AD11"},
    {30, XK_bracketright, "AD12"},
    {42, XK_backslash, "BKSL"},
    {41, XK_semicolon, "AC10"},
    {39, XK_apostrophe, "AC11"},
    {50, XK_grave, "TLDE"},
    {43, XK_comma, "AB08"},
    {47, XK_period, "AB09"},
    {44, XK_slash, "AB10"},
    // Arrows and the editing block.
    {123, XK_Left, "LEFT"},
    {124, XK_Right, "RGHT"},
    {125, XK_Down, "DOWN"},
    {126, XK_Up, "UP"},
    {115, XK_Home, "HOME"},
    {119, XK_End, "END"},
    {116, XK_Prior, "PGUP"},
    {121, XK_Next, "PGDN"},
    {117, XK_Delete, "DELE"},
    {114, XK_Insert, "INS"},
    // Whitespace and control keys.
    {36, XK_Return, "RTRN"},
    {76, XK_KP_Enter, "KPEN"},
    {48, XK_Tab, "TAB"},
    {49, XK_space, "SPCE"},
    {51, XK_BackSpace, "BKSP"},
    {53, XK_Escape, "ESC"},
    // Function keys.
    {122, XK_F1, "FK01"},
    {120, XK_F2, "FK02"},
    {99, XK_F3, "FK03"},
    {118, XK_F4, "FK04"},
    {96, XK_F5, "FK05"},
    {97, XK_F6, "FK06"},
    {98, XK_F7, "FK07"},
    {100, XK_F8, "FK08"},
    {101, XK_F9, "FK09"},
    {109, XK_F10, "FK10"},
    {103, XK_F11, "FK11"},
    {111, XK_F12, "FK12"},
    {105, XK_F13, "FK13"},
    {107, XK_F14, "FK14"},
    {113, XK_F15, "FK15"},
    {106, XK_F16, "FK16"},
    {64, XK_F17, "FK17"},
    {79, XK_F18, "FK18"},
    {80, XK_F19, "FK19"},
    {90, XK_F20, "FK20"},
};

constexpr std::uint16_t kShift = 1u << 0;
constexpr std::uint16_t kLock = 1u << 1;
constexpr std::uint16_t kControl = 1u << 2;
constexpr std::uint16_t kMod1 = 1u << 3;
constexpr std::uint16_t kMod4 = 1u << 6;
// Shift, Lock, Control, Mod1 ... Mod5; the higher bits are pointer buttons.
constexpr std::uint16_t kAllModifiers = 0xff;

constexpr std::uint32_t kCarbonCommand = 0x100;
constexpr std::uint32_t kCarbonShift = 0x200;
constexpr std::uint32_t kCarbonOption = 0x800;
constexpr std::uint32_t kCarbonControl = 0x1000;

// The group bits a grab must cover, less any a shortcut itself may hold:
// a layout whose group shares a bit with Alt or Super cannot be told apart.
std::uint16_t groupBits(const ModifierLayout& layout) {
    const auto significant = static_cast<std::uint16_t>(kShift | kControl | layout.alt | layout.super);
    return static_cast<std::uint16_t>(layout.group & kAllModifiers & ~significant & ~kLock & ~layout.numLock);
}

bool rowHolds(const std::vector<Keysym>& row, std::initializer_list<Keysym> wanted) {
    return std::any_of(row.begin(), row.end(),
                       [&](Keysym k) { return std::find(wanted.begin(), wanted.end(), k) != wanted.end(); });
}

}  // namespace

std::optional<Keysym> keysym(std::uint32_t keyCode) {
    for (const auto& k : kKeys)
        if (k.keyCode == keyCode) return k.keysym;
    return std::nullopt;
}

std::optional<std::uint32_t> keyCode(Keysym sym) {
    if (sym >= XK_A && sym <= XK_Z) sym += XK_a - XK_A;
    if (sym == XK_ISO_Left_Tab) sym = XK_Tab;
    for (const auto& k : kKeys)
        if (k.keysym == sym) return k.keyCode;
    return std::nullopt;
}

std::optional<std::string_view> usKeyName(std::uint32_t keyCode) {
    for (const auto& k : kKeys)
        if (k.keyCode == keyCode) return k.usKey;
    return std::nullopt;
}

std::vector<std::uint32_t> allKeyCodes() {
    std::vector<std::uint32_t> codes;
    for (const auto& k : kKeys) codes.push_back(k.keyCode);
    return codes;
}

std::string characters(std::uint32_t keyCode) {
    const auto sym = keysym(keyCode);
    // Latin-1 keysyms are their characters; the printable ones are all ASCII here.
    if (!sym || *sym < XK_exclam || *sym > XK_asciitilde) return {};
    return std::string(1, static_cast<char>(*sym));
}

ModifierLayout layoutFromMapping(const std::array<std::vector<Keysym>, 8>& rows) {
    ModifierLayout layout;
    // Rows 0-2 are Shift, Lock and Control; only Mod1 ... Mod5 can carry the rest.
    for (std::size_t row = 3; row < rows.size(); ++row) {
        const auto bit = static_cast<std::uint16_t>(1u << row);
        if (!layout.alt && rowHolds(rows[row], {XK_Alt_L, XK_Alt_R, XK_Meta_L, XK_Meta_R})) layout.alt = bit;
        if (!layout.super && rowHolds(rows[row], {XK_Super_L, XK_Super_R})) layout.super = bit;
        if (!layout.numLock && rowHolds(rows[row], {XK_Num_Lock})) layout.numLock = bit;
    }
    if (!layout.alt) layout.alt = kMod1;
    if (!layout.super) layout.super = kMod4;
    return layout;
}

std::uint16_t xModifiers(std::uint32_t carbonMask, const ModifierLayout& layout) {
    std::uint16_t mask = 0;
    if (carbonMask & kCarbonShift) mask |= kShift;
    if (carbonMask & kCarbonControl) mask |= kControl;
    if (carbonMask & kCarbonOption) mask |= layout.alt;
    if (carbonMask & kCarbonCommand) mask |= layout.super;
    return mask;
}

std::uint32_t carbonModifiers(std::uint16_t xState, const ModifierLayout& layout) {
    std::uint32_t mask = 0;
    if (xState & kShift) mask |= kCarbonShift;
    if (xState & kControl) mask |= kCarbonControl;
    if (layout.alt && (xState & layout.alt)) mask |= kCarbonOption;
    if (layout.super && (xState & layout.super)) mask |= kCarbonCommand;
    return mask;
}

std::vector<std::uint16_t> lockVariants(const ModifierLayout& layout) {
    std::vector<std::uint16_t> variants{0, kLock};
    if (layout.numLock) {
        variants.push_back(layout.numLock);
        variants.push_back(static_cast<std::uint16_t>(kLock | layout.numLock));
    }
    if (const auto group = groupBits(layout)) {
        const std::size_t count = variants.size();
        for (std::size_t i = 0; i < count; ++i)
            variants.push_back(static_cast<std::uint16_t>(variants[i] | group));
    }
    return variants;
}

std::uint16_t withoutLocks(std::uint16_t xState, const ModifierLayout& layout) {
    return static_cast<std::uint16_t>(xState & kAllModifiers & ~kLock & ~layout.numLock & ~groupBits(layout));
}

}  // namespace corvane::x11::KeyMapping
