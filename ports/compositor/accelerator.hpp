#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace corvane::compositor {

// How a plugin writes a key combination.
enum class AcceleratorSyntax {
    gtk,  // GNOME Shell: "<Control><Alt><Super>Left"
    qt,   // KWin: "Ctrl+Alt+Meta+Left"
};

// A stored shortcut (product key code, Carbon modifier mask) in a plugin's
// syntax, so no key-name logic lives in the plugins. Command is Super (Meta
// in Qt's words), Option is Alt. The key is named by its XKB keysym on a US
// keyboard, which both compositors resolve on the user's layout. Absent for
// a key code that has no keysym.
std::optional<std::string> accelerator(std::uint32_t keyCode, std::uint32_t carbonModifiers,
                                       AcceleratorSyntax syntax);

}  // namespace corvane::compositor
