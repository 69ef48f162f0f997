#include <gtest/gtest.h>

#include "core/shortcut.hpp"

namespace corvane {
namespace {

TEST(Shortcut, DisplayOrdersGlyphsControlOptionShiftCommand) {
    EXPECT_EQ((Shortcut{123, 0x1900, "←"}).display(), "⌃⌥⌘←");
    EXPECT_EQ((Shortcut{123, 0x1A00, "←"}).display(), "⌃⌥⇧←");
    EXPECT_EQ((Shortcut{18, 0x1800, "1"}).display(), "⌃⌥1");
    EXPECT_EQ((Shortcut{46, 0x1B00, "M"}).display(), "⌃⌥⇧⌘M");
    EXPECT_EQ((Shortcut{46, 0, "M"}).display(), "M");
    // Bits outside the four modifiers show nothing.
    EXPECT_EQ((Shortcut{46, 0x100 | 0x1, "M"}).display(), "⌘M");
}

TEST(Shortcut, RequiredModifierExcludesShiftAlone) {
    EXPECT_FALSE((Shortcut{0, 0, ""}).hasRequiredModifier());
    EXPECT_FALSE((Shortcut{0, 0x200, ""}).hasRequiredModifier());
    EXPECT_FALSE((Shortcut{0, 0x400 | 0x200, ""}).hasRequiredModifier());
    for (std::uint32_t m : {0x100u, 0x800u, 0x1000u, 0x300u, 0x1A00u}) {
        EXPECT_TRUE((Shortcut{0, m, ""}).hasRequiredModifier()) << m;
    }
}

TEST(Shortcut, IdentityIgnoresLabel) {
    const Shortcut upper{46, 0x1900, "M"};
    const Shortcut lower{46, 0x1900, "m"};
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(std::hash<Shortcut>{}(upper), std::hash<Shortcut>{}(lower));
    EXPECT_NE(upper, (Shortcut{46, 0x1800, "M"}));
    EXPECT_NE(upper, (Shortcut{47, 0x1900, "M"}));
    // Unknown bits still count.
    EXPECT_NE(upper, (Shortcut{46, 0x1901, "M"}));
}

}  // namespace
}  // namespace corvane
