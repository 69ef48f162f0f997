#pragma once

#include <string>
#include <vector>

#include "core/rect.hpp"
#include "tools/xharness/x_connection.hpp"

namespace corvane::xharness {

// A RandR monitor to make on the test screen, in pixels.
struct MonitorSpec {
    std::string name;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool primary = false;
};

// A monitor as the server reports it, with the part of it that windows
// may use: the monitor less the struts (_NET_WM_STRUT_PARTIAL, or
// _NET_WM_STRUT) that docks and panels reserve on it.
struct MonitorArea {
    std::string name;
    Rect frame;
    Rect visible;
    bool primary = false;
};

// The xrandr invocations that replace the screen's monitors with `specs`.
// The first monitor takes over the screen's output, so the automatic
// whole-screen monitor goes away; the others are virtual (no output). The
// server must run with -noreset, or the monitors vanish with the last
// client. (xrandr rather than xcb: the SetMonitor request of the xcb-randr
// shipped here sends a malformed length and trips an assertion in libxcb.)
std::vector<std::vector<std::string>> setMonitorCommands(XConnection& x,
                                                         const std::vector<MonitorSpec>& specs);

// The server's monitors, primary first, then in the server's order.
std::vector<MonitorArea> monitorAreas(XConnection& x);

}  // namespace corvane::xharness
