#pragma once

#include <optional>
#include <string>

#include "ports/x11/layout_keyboard_map.hpp"

namespace corvane::gnome {

// The first XKB source of `org.gnome.desktop.input-sources sources` in
// gsettings' text form ("[('xkb', 'fr+azerty'), ('ibus', 'anthy')]"): the
// layout GNOME types with. Absent when there is none (GNOME then types with
// the system's default layout).
std::optional<x11::XkbLayout> firstXkbSource(const std::string& gvariantText);

// Asks gsettings for the user's first input source.
std::optional<x11::XkbLayout> userInputSource();

}  // namespace corvane::gnome
