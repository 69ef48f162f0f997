#include "ports/gnome/gnome_keyboard_map.hpp"

#include <gtest/gtest.h>

namespace corvane::gnome {
namespace {

TEST(GnomeKeyboardMap, TheFirstXkbInputSourceIsTheLayout) {
    EXPECT_EQ(firstXkbSource("[('xkb', 'fr+azerty'), ('xkb', 'us')]\n"), (InputSource{"fr", "azerty"}));
    EXPECT_EQ(firstXkbSource("[('ibus', 'anthy'), ('xkb', 'de')]"), (InputSource{"de", ""}));
    EXPECT_FALSE(firstXkbSource("@a(ss) []"));
    EXPECT_FALSE(firstXkbSource("[('ibus', 'anthy')]"));
    EXPECT_FALSE(firstXkbSource("No such schema"));
}

// XKB key codes are evdev codes + 8, as Qt on Wayland reports them.
TEST(GnomeKeyboardMap, KeysOfOurWindowsAreReadOnGnomesLayout) {
    constexpr std::uint32_t usQPosition = 16 + 8, usAPosition = 30 + 8, keyA = 0, keyQ = 12;
    const GnomeKeyboardMap azerty(InputSource{"fr", "azerty"});
    ASSERT_TRUE(azerty.productKey(usQPosition));
    EXPECT_EQ(azerty.productKey(usQPosition)->keyCode, keyA) << "AZERTY types a where US has q";
    EXPECT_EQ(azerty.productKey(usAPosition)->keyCode, keyQ);
    const GnomeKeyboardMap us(InputSource{"us", ""});
    EXPECT_EQ(us.productKey(usQPosition)->keyCode, keyQ);
    const GnomeKeyboardMap unknown(InputSource{"no-such-layout", ""});
    EXPECT_TRUE(unknown.productKey(usQPosition)) << "an unknown layout reads as the default one";
    EXPECT_TRUE(us.names().shortcutsInWords);
    EXPECT_EQ(us.names().command, "Super");
}

}  // namespace
}  // namespace corvane::gnome
