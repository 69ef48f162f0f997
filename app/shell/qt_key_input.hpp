#pragma once

#include <QKeyEvent>
#include <optional>

#include "app/platform/key_input.hpp"
#include "app/platform/keyboard_map.hpp"

namespace corvane {

// The one place where a toolkit key event becomes the product's KeyInput,
// shared by the shortcut recorder and the tour. Control -> Control, Alt ->
// Option, Super (Qt's Meta on X11) -> Command, Shift -> Shift; lock keys and
// everything else are ignored. The key code comes from the keyboard map,
// which knows the user's layout; without one (the offscreen platform of
// tests) only the toolkit's own key is used, as on a US layout.
std::optional<KeyInput> keyInputFrom(const QKeyEvent& event, const KeyboardMap* map);

// The Carbon mask of toolkit modifier flags.
std::uint32_t carbonModifiers(Qt::KeyboardModifiers modifiers);

}  // namespace corvane
