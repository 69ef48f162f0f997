#include <gtest/gtest.h>

#include "core/shortcut.hpp"
#include "ports/i3ipc/binding_keys.hpp"
#include "ports/i3ipc/config_bindings.hpp"

namespace corvane::i3ipc {
namespace {

TEST(BindingNames, StoredShortcutsBecomeBindingCombinations) {
    const std::uint32_t ctrlAlt = Shortcut::control | Shortcut::option;
    EXPECT_EQ(bindingCombo(123, ctrlAlt), "Mod1+Ctrl+Left");
    EXPECT_EQ(bindingCombo(126, ctrlAlt | Shortcut::command | Shortcut::shift), "Mod4+Mod1+Ctrl+Shift+Up");
    EXPECT_EQ(bindingCombo(18, ctrlAlt | Shortcut::shift), "Mod1+Ctrl+Shift+1");
    EXPECT_EQ(bindingCombo(36, ctrlAlt), "Mod1+Ctrl+Return");
    EXPECT_EQ(bindingCombo(46, Shortcut::command), "Mod4+m");
    EXPECT_EQ(bindingCombo(27, ctrlAlt), "Mod1+Ctrl+minus");
    EXPECT_FALSE(bindingCombo(0xffff, ctrlAlt)) << "a key code without a key";
}

TEST(BindingNames, SpellingsOfOneCombinationCompareEqual) {
    EXPECT_EQ(canonicalCombo("Ctrl+Alt+Left"), canonicalCombo("Mod1+Control+left"));
    EXPECT_EQ(canonicalCombo("Super+Shift+Return"), canonicalCombo("Shift+Mod4+return"));
    EXPECT_EQ(canonicalCombo("Logo+plus"), "Mod4+plus");
    // A literal plus key after the separator stays the key.
    EXPECT_EQ(canonicalCombo("Mod4++"), "Mod4++");
    EXPECT_NE(canonicalCombo("Ctrl+Alt+Left"), canonicalCombo("Ctrl+Alt+Shift+Left"));
}

TEST(BindingNames, ConfigurationBindingsOfTheDefaultModeOnlyWithVariablesResolved) {
    const auto combos = configuredCombos(R"(# a user's config
set $mod Mod4
set $mod_alt Mod1
bindsym $mod+Return exec foot
bindsym --no-repeat --to-code $mod_alt+Ctrl+Left workspace prev
bindcode 133+10 exec true
    # bindsym $mod+q kill
mode "resize" {
    bindsym Left resize shrink width 10px
}
bindsym $mod+r mode "resize"
)");
    EXPECT_EQ(combos, (std::set<std::string>{"Mod4+return", "Mod1+Ctrl+left", "Mod4+r"}));
}

}  // namespace
}  // namespace corvane::i3ipc
