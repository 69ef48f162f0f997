#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/rect.hpp"
#include "tools/xharness/x_connection.hpp"

namespace corvane::xharness {

// Top-level windows made on the harness's own connection, so that they
// belong to the test process itself (_NET_WM_PID is its process id): for
// code that finds windows through the process that owns them, and for
// tests that must see what is sent to a window (XConnection's event
// observer). They watch their own property and structure changes, so
// XConnection::waitFor wakes on them. The server destroys them with the
// connection.

// A normal window with its client area at `area` (a program-specified
// position and size, which the window manager keeps) and WM_CLASS
// `wmClass`. Returns once the manager has taken it (listed, framed,
// viewable) and made it the active window. Throws std::runtime_error when
// it does not in time.
xcb_window_t openOwnWindow(XConnection& x, const Rect& area, const std::string& wmClass = "corvane-test");

// A dock at `area` reserving `strutPartial` (the 12 values of
// _NET_WM_STRUT_PARTIAL). Returns once the manager lists it and it is
// viewable; throws std::runtime_error when it is not in time.
xcb_window_t openOwnDock(XConnection& x, const Rect& area, const std::vector<std::uint32_t>& strutPartial);

}  // namespace corvane::xharness
