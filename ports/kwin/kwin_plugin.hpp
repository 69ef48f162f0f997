#pragma once

#include "ports/compositor/compositor_port.hpp"

namespace corvane::kwin {

// What the compositor port needs to know of our KWin script: its backend
// name, its shortcut syntax and the words Plasma gives the desktop system.
compositor::CompositorPort::Plugin scriptPlugin();

}  // namespace corvane::kwin
