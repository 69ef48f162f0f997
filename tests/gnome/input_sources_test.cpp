#include "ports/gnome/input_sources.hpp"

#include <gtest/gtest.h>

namespace corvane::gnome {
namespace {

using x11::XkbLayout;

TEST(GnomeInputSources, TheFirstXkbInputSourceIsTheLayout) {
    EXPECT_EQ(firstXkbSource("[('xkb', 'fr+azerty'), ('xkb', 'us')]\n"), (XkbLayout{"fr", "azerty"}));
    EXPECT_EQ(firstXkbSource("[('ibus', 'anthy'), ('xkb', 'de')]"), (XkbLayout{"de", ""}));
    EXPECT_FALSE(firstXkbSource("@a(ss) []"));
    EXPECT_FALSE(firstXkbSource("[('ibus', 'anthy')]"));
    EXPECT_FALSE(firstXkbSource("No such schema"));
}

}  // namespace
}  // namespace corvane::gnome
