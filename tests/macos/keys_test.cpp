// Keys on a Mac in the product's terms: virtual key codes with what they
// type on a US keyboard, and event modifier flags as the Carbon mask.

#include <gtest/gtest.h>

#include <string>

#include "core/shortcut.hpp"
#include "ports/macos/event_flags.hpp"
#include "ports/macos/mac_key_codes.hpp"
#include "ports/macos/mac_keyboard_map.hpp"
#ifdef CORVANE_TEST_WITH_X11
#include "ports/x11/key_mapping.hpp"
#endif

namespace corvane::macos {
namespace {

TEST(MacKeyCodes, EveryLetterAndDigitSitsWhereTheUSKeyboardHasIt) {
    // Row by row over the ANSI board, as the key codes were laid out.
    const std::pair<std::uint32_t, const char*> rows[] = {
        {0x12, "1"}, {0x13, "2"}, {0x14, "3"}, {0x15, "4"}, {0x17, "5"}, {0x16, "6"},
        {0x1A, "7"}, {0x1C, "8"}, {0x19, "9"}, {0x1D, "0"}, {0x0C, "q"}, {0x0D, "w"},
        {0x0E, "e"}, {0x0F, "r"}, {0x11, "t"}, {0x10, "y"}, {0x20, "u"}, {0x22, "i"},
        {0x1F, "o"}, {0x23, "p"}, {0x00, "a"}, {0x01, "s"}, {0x02, "d"}, {0x03, "f"},
        {0x05, "g"}, {0x04, "h"}, {0x26, "j"}, {0x28, "k"}, {0x25, "l"}, {0x06, "z"},
        {0x07, "x"}, {0x08, "c"}, {0x09, "v"}, {0x0B, "b"}, {0x2D, "n"}, {0x2E, "m"},
    };
    for (const auto& [code, characters] : rows)
        EXPECT_EQ(usCharacters(code), characters) << "key code " << code;
}

TEST(MacKeyCodes, KeysThatTypeNothingAreKnownButSilentAndModifiersAreNoKeys) {
    for (const std::uint32_t code : {0x7Bu, 0x7Cu, 0x7Du, 0x7Eu, 0x24u, 0x31u, 0x35u, 0x7Au, 0x6Fu, 0x52u})
        EXPECT_EQ(usCharacters(code), std::string()) << "key code " << code;
    // Command, Shift, Caps Lock, Option, Control (both sides), Fn; the
    // ISO-only key; codes beyond the board.
    for (const std::uint32_t code :
         {0x37u, 0x38u, 0x39u, 0x3Au, 0x3Bu, 0x3Cu, 0x3Du, 0x3Eu, 0x3Fu, 0x0Au, 0x80u, 0xFFFFu})
        EXPECT_EQ(usCharacters(code), std::nullopt) << "key code " << code;
}

TEST(MacKeyboardMap, NativeCodeIsTheProductCodeAndNamesAreTheMacs) {
    const MacKeyboardMap map;
    const auto m = map.productKey(0x2E);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->keyCode, 0x2Eu);
    EXPECT_EQ(m->characters, "m");
    EXPECT_FALSE(map.productKey(0x3A));  // Option itself
    const auto names = map.names();
    EXPECT_EQ(names.command, "Command");
    EXPECT_EQ(names.optionShort, "Opt");
    EXPECT_FALSE(names.shortcutsInWords);
}

#ifdef CORVANE_TEST_WITH_X11
TEST(MacKeyCodes, AgreesWithTheX11PortOnWhatEveryKeyTypes) {
    // A configuration moved between a Mac and Linux must mean the same keys.
    for (std::uint32_t code = 0; code < 128; ++code) {
        const auto mac = usCharacters(code);
        const std::string x11 = x11::KeyMapping::characters(code);
        if (!x11.empty()) {
            EXPECT_EQ(mac, x11) << "key code " << code;
        }
        if (mac && !mac->empty()) {
            EXPECT_EQ(*mac, x11) << "key code " << code;
        }
    }
}
#endif

TEST(EventFlags, EachShortcutModifierMapsToItsCarbonBit) {
    EXPECT_EQ(carbonModifiers(EventFlags::command), Shortcut::command);
    EXPECT_EQ(carbonModifiers(EventFlags::shift), Shortcut::shift);
    EXPECT_EQ(carbonModifiers(EventFlags::option), Shortcut::option);
    EXPECT_EQ(carbonModifiers(EventFlags::control), Shortcut::control);
    EXPECT_EQ(carbonModifiers(EventFlags::control | EventFlags::option | EventFlags::command),
              Shortcut::control | Shortcut::option | Shortcut::command);
}

TEST(EventFlags, LocksFunctionKeyAndDeviceBitsDoNotChangeTheShortcut) {
    // Control-Option-Left with Caps Lock on, typed with the arrow (keypad and
    // Fn bits set, as arrows report them) and the right-hand Option key
    // (a device-dependent low bit).
    const std::uint64_t flags = EventFlags::control | EventFlags::option | EventFlags::capsLock |
                                EventFlags::numericPad | EventFlags::function | 0x40;
    EXPECT_EQ(carbonModifiers(flags), Shortcut::control | Shortcut::option);
    EXPECT_EQ(carbonModifiers(EventFlags::capsLock | EventFlags::help | 0xFFFF), 0u);
}

}  // namespace
}  // namespace corvane::macos
