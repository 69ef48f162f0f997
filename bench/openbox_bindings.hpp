#pragma once

#include <string>
#include <vector>

#include "core/rect.hpp"
#include "tools/xharness/x_connection.hpp"

namespace corvane::bench {

// One key binding of the window manager: an openbox key name ("W-F1": Super
// and F1) and the <action> element it runs.
struct OpenboxBinding {
    std::string key;
    std::string action;
};

// The spawn-a-command approach: openbox runs the command line itself (no
// shell, no startup notification), as a user's key binding would.
std::string executeAction(const std::string& commandLine);

// openbox's own move-resize: x, y, width and height of the outer frame in
// root coordinates (openbox 3.6 reads width and height as the frame's size).
std::string moveResizeToAction(const Rect& outerFrame);

// openbox's own send-to-desktop, following the window there or not;
// `desktop` counts from 1.
std::string sendToDesktopAction(int desktop, bool follow = false);

// `wmctrl -r :ACTIVE: -e 0,X,Y,W,H` placing the active window's outer frame
// at `outerFrame`. wmctrl passes the size on as the client's size
// (_NET_MOVERESIZE_WINDOW), so the decorations are taken off it.
std::string wmctrlMoveResizeCommand(const Rect& outerFrame, const xharness::FrameExtents& extents);

// `wmctrl -r :ACTIVE: -t N`; `desktop` counts from 0, as wmctrl's does.
std::string wmctrlSendToDesktopCommand(int desktop);
// The same, then `wmctrl -s N` to show that desktop: wmctrl does one thing
// per run, so a shell runs both, as a user's binding would.
std::string wmctrlSendAndFollowCommand(int desktop);

// A complete openbox configuration: `desktops` desktops, new windows
// focused, no pop-ups, and these key bindings only, so that the manager
// grabs no key the app wants. The actions are elements made by the
// functions above, which escape what they put in.
std::string openboxConfig(int desktops, const std::vector<OpenboxBinding>& bindings);

}  // namespace corvane::bench
