#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "core/window_action.hpp"

namespace corvane::demo {

// One typed shortcut of the tour through the defaults.
struct DemoStep {
    std::string chord;      // as typed, e.g. "Ctrl+Alt+Super+Left"
    WindowAction action;    // what it should do
    bool restores = false;  // the second full-screen press
};

// The whole run: every default placement, full screen and its restore, the
// two display moves, a follow and a send (which makes a desktop).
struct DemoResult {
    int steps = 0;
    int failures = 0;
};

// Starts the virtual desktop and the app, types each step, prints a table
// row and writes out/NN-action.png per step. Throws when the desktop or the
// app does not come up.
DemoResult runDemo(const std::filesystem::path& app, const std::filesystem::path& outDir, std::ostream& out);

}  // namespace corvane::demo
