#include "ports/x11/layout_keyboard_map.hpp"

#include <gtest/gtest.h>

namespace corvane::x11 {
namespace {

// XKB key codes are evdev codes + 8, as Qt on Wayland reports them.
TEST(LayoutKeyboardMap, KeysOfOurWindowsAreReadOnTheNamedLayout) {
    constexpr std::uint32_t usQPosition = 16 + 8, usAPosition = 30 + 8, keyA = 0, keyQ = 12;
    const LayoutKeyboardMap azerty(XkbLayout{"fr", "azerty"});
    ASSERT_TRUE(azerty.productKey(usQPosition));
    EXPECT_EQ(azerty.productKey(usQPosition)->keyCode, keyA) << "AZERTY types a where US has q";
    EXPECT_EQ(azerty.productKey(usAPosition)->keyCode, keyQ);
    const LayoutKeyboardMap us(XkbLayout{"us", ""});
    EXPECT_EQ(us.productKey(usQPosition)->keyCode, keyQ);
    const LayoutKeyboardMap unknown(XkbLayout{"no-such-layout", ""});
    EXPECT_TRUE(unknown.productKey(usQPosition)) << "an unknown layout reads as the default one";
    EXPECT_TRUE(us.names().shortcutsInWords);
    EXPECT_EQ(us.names().command, "Super");
}

}  // namespace
}  // namespace corvane::x11
