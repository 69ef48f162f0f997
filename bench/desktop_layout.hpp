#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/openbox_bindings.hpp"
#include "core/rect.hpp"
#include "core/window_action.hpp"
#include "tools/xharness/keyboard.hpp"
#include "tools/xharness/x_server.hpp"

namespace corvane::bench {

// The desktops openbox keeps; the sends go from the first to the second.
inline constexpr int desktopCount = 2;
inline constexpr std::uint32_t homeDesktop = 0;
inline constexpr std::uint32_t targetDesktop = 1;

// One half placement as each method triggers it: the app's default
// shortcut, and the Super+F<n> keys (used by no default shortcut) that
// openbox binds to wmctrl and to its own move-resize.
struct HalfKeys {
    Placement placement;
    const char* appChord;
    int wmctrlKey;
    int builtInKey;
};
inline constexpr HalfKeys leftHalfKeys{Placement::leftHalf, "Ctrl+Alt+Super+Left", 1, 2};
inline constexpr HalfKeys rightHalfKeys{Placement::rightHalf, "Ctrl+Alt+Super+Right", 3, 4};
inline constexpr HalfKeys bottomHalfKeys{Placement::bottomHalf, "Ctrl+Alt+Super+Down", 7, 8};
inline constexpr std::array<HalfKeys, 3> allHalfKeys{leftHalfKeys, rightHalfKeys, bottomHalfKeys};
// Desktop sends: the app's "Send to Desktop 2", and the keys openbox binds.
inline constexpr const char* appSendChord = "Ctrl+Alt+2";
inline constexpr int wmctrlSendKey = 5;
inline constexpr int builtInSendKey = 6;
// Send and follow: the app's "Send to Desktop 2 and follow", and openbox's keys.
inline constexpr const char* appFollowChord = "Ctrl+Alt+Shift+2";
inline constexpr int wmctrlFollowKey = 9;
inline constexpr int builtInFollowKey = 10;

// What the screen looks like to a placement: the decorations openbox puts
// around our test window, and the usable area of the primary monitor.
struct Layout {
    xharness::FrameExtents extents;
    Rect visible;

    // Where the placement puts the outer frame, with the app's default gap (0).
    Rect frameOf(Placement placement) const;
};

// Reads the layout with a first openbox without bindings and a probe
// window, both gone when it returns: the wmctrl command lines in the real
// configuration need the decorations, and openbox reads its bindings only
// at start. The server must have been made without a window manager.
// Throws std::runtime_error when it cannot.
Layout measureLayout(xharness::XServer& server, const std::filesystem::path& work);

// The bindings of the real configuration: for every half, wmctrl and
// openbox's own move-resize; for the desktop send, wmctrl and openbox's own.
std::vector<OpenboxBinding> benchBindings(const Layout& layout);

// Super+F<n> as XTEST types it (the harness's chord names stop at letters and arrows).
xharness::Chord superF(int n);

// The frame as text: "(x,y,w,h)".
std::string text(const Rect& rect);

}  // namespace corvane::bench
