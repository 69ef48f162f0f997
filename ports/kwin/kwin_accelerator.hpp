#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct xkb_keymap;

namespace corvane::kwin {

// A stored shortcut (product key code, Carbon modifier mask) as KWin's
// shortcut registry writes it: "Ctrl+Alt+Meta+Left" (Qt's order: Ctrl, Alt, Shift, Meta). KWin matches a
// press by the symbol the key produced with Shift taken into account, and drops Shift when it chose that
// symbol (except for letters): on a US layout Ctrl+Alt+Shift+2 arrives as "Ctrl+Alt+@", so it must be
// registered so. `keymap` is the user's layout; without one, US positions are assumed. Absent for a key code
// KWin cannot name.
std::optional<std::string> kwinAccelerator(std::uint32_t keyCode, std::uint32_t carbonModifiers,
                                           xkb_keymap* keymap);

}  // namespace corvane::kwin
