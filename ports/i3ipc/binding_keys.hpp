#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::i3ipc {

// A stored shortcut (product key code, Carbon modifier mask) in the window
// manager's binding syntax: "Mod4+Mod1+Ctrl+Shift+Left". Command is Super
// (Mod4), Option is Alt (Mod1). The key is named by its XKB keysym name, the
// way the configuration file names keys. Absent for a key code that has no
// keysym.
std::optional<std::string> bindingCombo(std::uint32_t keyCode, std::uint32_t carbonModifiers);

}  // namespace corvane::i3ipc
