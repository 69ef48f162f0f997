#include "ports/x11/key_mapping.hpp"

#include <X11/keysym.h>
#include <gtest/gtest.h>

namespace corvane::x11 {
namespace {

using KeyMapping::ModifierLayout;

struct KeyRow {
    std::uint32_t keyCode;
    KeyMapping::Keysym keysym;
};

// Every key the recorder labels specially, plus letters and digits.
const KeyRow kSpecialKeys[] = {
    {123, XK_Left}, {124, XK_Right}, {126, XK_Up},       {125, XK_Down},   {36, XK_Return}, {76, XK_KP_Enter},
    {48, XK_Tab},   {49, XK_space},  {51, XK_BackSpace}, {117, XK_Delete}, {53, XK_Escape}, {115, XK_Home},
    {119, XK_End},  {116, XK_Prior}, {121, XK_Next},     {122, XK_F1},     {120, XK_F2},    {99, XK_F3},
    {118, XK_F4},   {96, XK_F5},     {97, XK_F6},        {98, XK_F7},      {100, XK_F8},    {101, XK_F9},
    {109, XK_F10},  {103, XK_F11},   {111, XK_F12},
};
const KeyRow kLettersAndDigits[] = {
    {0, XK_a},  {11, XK_b}, {8, XK_c},  {2, XK_d},  {14, XK_e}, {3, XK_f},  {5, XK_g},  {4, XK_h},
    {34, XK_i}, {38, XK_j}, {40, XK_k}, {37, XK_l}, {46, XK_m}, {45, XK_n}, {31, XK_o}, {35, XK_p},
    {12, XK_q}, {15, XK_r}, {1, XK_s},  {17, XK_t}, {32, XK_u}, {9, XK_v},  {13, XK_w}, {7, XK_x},
    {16, XK_y}, {6, XK_z},  {29, XK_0}, {18, XK_1}, {19, XK_2}, {20, XK_3}, {21, XK_4}, {23, XK_5},
    {22, XK_6}, {26, XK_7}, {28, XK_8}, {25, XK_9},
};

TEST(KeyMappingTest, SpecialKeysMapBothWays) {
    for (const auto& row : kSpecialKeys) {
        SCOPED_TRACE(row.keyCode);
        EXPECT_EQ(KeyMapping::keysym(row.keyCode), row.keysym);
        EXPECT_EQ(KeyMapping::keyCode(row.keysym), row.keyCode);
    }
}

TEST(KeyMappingTest, LettersAndDigitsMapBothWays) {
    for (const auto& row : kLettersAndDigits) {
        SCOPED_TRACE(row.keyCode);
        EXPECT_EQ(KeyMapping::keysym(row.keyCode), row.keysym);
        EXPECT_EQ(KeyMapping::keyCode(row.keysym), row.keyCode);
    }
}

TEST(KeyMappingTest, KeyEventsReportingShiftedKeysymsFindTheirKey) {
    EXPECT_EQ(KeyMapping::keyCode(XK_M), 46u);
    EXPECT_EQ(KeyMapping::keyCode(XK_A), 0u);
    EXPECT_EQ(KeyMapping::keyCode(XK_ISO_Left_Tab), 48u);
}

TEST(KeyMappingTest, PunctuationRoundTrips) {
    for (std::uint32_t code : {27u, 24u, 33u, 30u, 42u, 41u, 39u, 50u, 43u, 47u, 44u}) {
        SCOPED_TRACE(code);
        auto sym = KeyMapping::keysym(code);
        ASSERT_TRUE(sym);
        EXPECT_EQ(KeyMapping::keyCode(*sym), code);
    }
}

TEST(KeyMappingTest, KeysWithoutAnEquivalentAreAbsent) {
    EXPECT_FALSE(KeyMapping::keysym(52));  // no key there on the ANSI layout
    EXPECT_FALSE(KeyMapping::keysym(10));  // ISO section key
    EXPECT_FALSE(KeyMapping::keysym(0xFFFF));
    EXPECT_FALSE(KeyMapping::keyCode(XK_Shift_L));
    EXPECT_FALSE(KeyMapping::keyCode(0));
}

// The modifier rows of Xvfb's default keymap.
std::array<std::vector<KeyMapping::Keysym>, 8> defaultRows() {
    return {{{XK_Shift_L, XK_Shift_R},
             {XK_Caps_Lock},
             {XK_Control_L, XK_Control_R},
             {XK_Alt_L, XK_Meta_L, XK_Alt_R, XK_Meta_L},
             {XK_Num_Lock},
             {},
             {XK_Super_L, XK_Super_R, XK_Hyper_L},
             {XK_ISO_Level3_Shift, XK_Mode_switch}}};
}

TEST(KeyMappingTest, LayoutFindsAltSuperAndNumLockRows) {
    EXPECT_EQ(KeyMapping::layoutFromMapping(defaultRows()), (ModifierLayout{1u << 3, 1u << 6, 1u << 4}));

    // A keymap that moves Super to Mod3 and Num Lock to Mod5.
    auto rows = defaultRows();
    rows[5] = {XK_Super_L};
    rows[6] = {XK_Hyper_L};
    rows[7] = {XK_Num_Lock};
    rows[4] = {};
    EXPECT_EQ(KeyMapping::layoutFromMapping(rows), (ModifierLayout{1u << 3, 1u << 5, 1u << 7}));
}

TEST(KeyMappingTest, LayoutFallsBackToConventionalBitsButNeverInventsNumLock) {
    const auto layout = KeyMapping::layoutFromMapping({});
    EXPECT_EQ(layout, (ModifierLayout{1u << 3, 1u << 6, 0}));
    EXPECT_EQ(KeyMapping::lockVariants(layout), (std::vector<std::uint16_t>{0, 2}));
}

TEST(KeyMappingTest, ModifierRowsBelowMod1AreNotMistakenForAlt) {
    auto rows = defaultRows();
    rows[3] = {};
    rows[2].push_back(XK_Alt_L);
    rows[5] = {XK_Alt_R};
    EXPECT_EQ(KeyMapping::layoutFromMapping(rows).alt, 1u << 5);
}

TEST(KeyMappingTest, CarbonMasksMapToTheLayoutsBitsAndBack) {
    const ModifierLayout layout{1u << 3, 1u << 6, 1u << 4};
    struct Row {
        std::uint32_t carbon;
        std::uint16_t x;
    };
    const Row rows[] = {
        {0x100, 1u << 6},                             // Command -> Super
        {0x200, 1u << 0},                             // Shift
        {0x800, 1u << 3},                             // Option -> Alt
        {0x1000, 1u << 2},                            // Control
        {0x1900, (1u << 2) | (1u << 3) | (1u << 6)},  // the halves' default
        {0x1A00, (1u << 0) | (1u << 2) | (1u << 3)},  // the quarters' default
        {0x1800, (1u << 2) | (1u << 3)},
        {0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.carbon);
        EXPECT_EQ(KeyMapping::xModifiers(row.carbon, layout), row.x);
        EXPECT_EQ(KeyMapping::carbonModifiers(row.x, layout), row.carbon);
    }
}

TEST(KeyMappingTest, UnrelatedBitsAreIgnoredBothWays) {
    const ModifierLayout layout{1u << 3, 1u << 6, 1u << 4};
    // Caps Lock (Carbon alphaLock 0x400) and the right-side bits mean nothing here.
    EXPECT_EQ(KeyMapping::xModifiers(0x400 | 0x4000 | 0x1000, layout), 1u << 2);
    // Lock, Num Lock, Mod5 and a pointer button in an event's state.
    EXPECT_EQ(KeyMapping::carbonModifiers((1u << 1) | (1u << 4) | (1u << 7) | (1u << 8) | (1u << 2), layout),
              0x1000u);
}

TEST(KeyMappingTest, LockVariantsCoverEveryCombinationAndAreStrippedFromPresses) {
    const ModifierLayout layout{1u << 3, 1u << 6, 1u << 4};
    EXPECT_EQ(KeyMapping::lockVariants(layout), (std::vector<std::uint16_t>{0, 2, 16, 18}));
    const std::uint16_t controlAlt = (1u << 2) | (1u << 3);
    for (std::uint16_t lock : KeyMapping::lockVariants(layout)) {
        const auto withButton = static_cast<std::uint16_t>(controlAlt | lock | (1u << 8));
        EXPECT_EQ(KeyMapping::withoutLocks(withButton, layout), controlAlt);
    }
}

// With a second layout the server sets a group bit (Mod5) in the state it
// matches grabs against: grabs cover it as they cover the locks.
TEST(KeyMappingTest, AGroupBitIsCoveredLikeTheLocksUnlessAShortcutCouldHoldIt) {
    ModifierLayout layout{1u << 3, 1u << 6, 1u << 4, 1u << 7};
    EXPECT_EQ(KeyMapping::lockVariants(layout),
              (std::vector<std::uint16_t>{0, 2, 16, 18, 128, 130, 144, 146}));
    const std::uint16_t controlAlt = (1u << 2) | (1u << 3);
    EXPECT_EQ(KeyMapping::withoutLocks(controlAlt | (1u << 7) | (1u << 1), layout), controlAlt);

    // A group sharing Super's bit cannot be told from Super: left alone.
    layout.group = 1u << 6;
    EXPECT_EQ(KeyMapping::lockVariants(layout), (std::vector<std::uint16_t>{0, 2, 16, 18}));
    EXPECT_EQ(KeyMapping::withoutLocks(controlAlt | (1u << 6), layout), controlAlt | (1u << 6));
}

TEST(KeyMappingTest, EveryProductKeyHasAUsPosition) {
    for (const std::uint32_t keyCode : KeyMapping::allKeyCodes()) {
        const auto name = KeyMapping::usKeyName(keyCode);
        ASSERT_TRUE(name) << keyCode;
        EXPECT_FALSE(name->empty());
    }
    EXPECT_EQ(KeyMapping::usKeyName(46), "AB07");
    EXPECT_FALSE(KeyMapping::usKeyName(52));
}

}  // namespace
}  // namespace corvane::x11
