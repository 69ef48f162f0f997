#include "ports/x11/key_mapping.hpp"

#include <algorithm>

#include <X11/keysym.h>

namespace corvane::x11::KeyMapping {

namespace {

struct KeyPair {
    std::uint32_t keyCode;
    Keysym keysym;
};

// Product key codes are positions on the ANSI keyboard the stored form was
// defined on; each names the key by what it types unshifted on a US layout.
constexpr KeyPair kKeys[] = {
    // Letters.
    {0, XK_a},
    {11, XK_b},
    {8, XK_c},
    {2, XK_d},
    {14, XK_e},
    {3, XK_f},
    {5, XK_g},
    {4, XK_h},
    {34, XK_i},
    {38, XK_j},
    {40, XK_k},
    {37, XK_l},
    {46, XK_m},
    {45, XK_n},
    {31, XK_o},
    {35, XK_p},
    {12, XK_q},
    {15, XK_r},
    {1, XK_s},
    {17, XK_t},
    {32, XK_u},
    {9, XK_v},
    {13, XK_w},
    {7, XK_x},
    {16, XK_y},
    {6, XK_z},
    // Digits of the main row.
    {29, XK_0},
    {18, XK_1},
    {19, XK_2},
    {20, XK_3},
    {21, XK_4},
    {23, XK_5},
    {22, XK_6},
    {26, XK_7},
    {28, XK_8},
    {25, XK_9},
    // Punctuation of the main block.
    {27, XK_minus},
    {24, XK_equal},
    {33, XK_bracketleft},
    {30, XK_bracketright},
    {42, XK_backslash},
    {41, XK_semicolon},
    {39, XK_apostrophe},
    {50, XK_grave},
    {43, XK_comma},
    {47, XK_period},
    {44, XK_slash},
    // Arrows and the editing block.
    {123, XK_Left},
    {124, XK_Right},
    {125, XK_Down},
    {126, XK_Up},
    {115, XK_Home},
    {119, XK_End},
    {116, XK_Prior},
    {121, XK_Next},
    {117, XK_Delete},
    {114, XK_Insert},
    // Whitespace and control keys.
    {36, XK_Return},
    {76, XK_KP_Enter},
    {48, XK_Tab},
    {49, XK_space},
    {51, XK_BackSpace},
    {53, XK_Escape},
    // Function keys.
    {122, XK_F1},
    {120, XK_F2},
    {99, XK_F3},
    {118, XK_F4},
    {96, XK_F5},
    {97, XK_F6},
    {98, XK_F7},
    {100, XK_F8},
    {101, XK_F9},
    {109, XK_F10},
    {103, XK_F11},
    {111, XK_F12},
    {105, XK_F13},
    {107, XK_F14},
    {113, XK_F15},
    {106, XK_F16},
    {64, XK_F17},
    {79, XK_F18},
    {80, XK_F19},
    {90, XK_F20},
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
    return variants;
}

std::uint16_t withoutLocks(std::uint16_t xState, const ModifierLayout& layout) {
    return static_cast<std::uint16_t>(xState & kAllModifiers & ~kLock & ~layout.numLock);
}

}  // namespace corvane::x11::KeyMapping
