#pragma once

#include "ports/compositor/compositor_port.hpp"

namespace corvane::gnome {

// What the compositor port needs to know of our GNOME Shell extension: its
// backend name, its keybinding syntax and the words GNOME gives the desktop
// system.
compositor::CompositorPort::Plugin extensionPlugin();

}  // namespace corvane::gnome
