#pragma once

#include <set>
#include <string>
#include <string_view>

namespace corvane::i3ipc {

// A key combination in one spelling, so two spellings of it compare equal:
// the modifiers by their canonical names in a fixed order ("Mod4" for Super,
// Logo and Mod4; "Mod1" for Alt), then the key name in lower case (key
// names in bindings are matched without regard to case).
std::string canonicalCombo(std::string_view combo);

// The combinations the configuration text binds in the default mode, in
// canonical spelling: `bindsym` lines with their `set $variable` values
// substituted. Bindings inside a `mode` block only hold in that mode and
// are left out; key codes (`bindcode`) cannot be compared by name and are
// left out too.
std::set<std::string> configuredCombos(std::string_view configText);

}  // namespace corvane::i3ipc
