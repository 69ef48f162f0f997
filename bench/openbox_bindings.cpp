#include "bench/openbox_bindings.hpp"

#include "tools/xharness/x_server.hpp"

#include <cmath>
#include <sstream>

namespace corvane::bench {

namespace {

std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        switch (c) {
            case '&':
                result += "&amp;";
                break;
            case '<':
                result += "&lt;";
                break;
            case '>':
                result += "&gt;";
                break;
            case '"':
                result += "&quot;";
                break;
            default:
                result += c;
        }
    }
    return result;
}

long pixels(double value) {
    return std::lround(value);
}

}  // namespace

std::string executeAction(const std::string& commandLine) {
    return "<action name=\"Execute\"><command>" + escaped(commandLine) + "</command></action>";
}

std::string moveResizeToAction(const Rect& outerFrame) {
    std::ostringstream action;
    action << "<action name=\"MoveResizeTo\">"
           << "<x>" << pixels(outerFrame.x) << "</x><y>" << pixels(outerFrame.y) << "</y>"
           << "<width>" << pixels(outerFrame.width) << "</width><height>" << pixels(outerFrame.height)
           << "</height></action>";
    return action.str();
}

std::string sendToDesktopAction(int desktop, bool follow) {
    return "<action name=\"SendToDesktop\"><to>" + std::to_string(desktop) + "</to><follow>" +
           (follow ? "yes" : "no") + "</follow></action>";
}

std::string wmctrlMoveResizeCommand(const Rect& outerFrame, const xharness::FrameExtents& extents) {
    std::ostringstream command;
    command << "wmctrl -r :ACTIVE: -e 0," << pixels(outerFrame.x) << ',' << pixels(outerFrame.y) << ','
            << pixels(outerFrame.width) - extents.left - extents.right << ','
            << pixels(outerFrame.height) - extents.top - extents.bottom;
    return command.str();
}

std::string wmctrlSendToDesktopCommand(int desktop) {
    return "wmctrl -r :ACTIVE: -t " + std::to_string(desktop);
}

std::string wmctrlSendAndFollowCommand(int desktop) {
    const std::string n = std::to_string(desktop);
    return "sh -c 'wmctrl -r :ACTIVE: -t " + n + " && wmctrl -s " + n + "'";
}

std::string openboxConfig(int desktops, const std::vector<OpenboxBinding>& bindings) {
    std::ostringstream keys;
    keys << "\n    <chainQuitKey>C-g</chainQuitKey>\n";
    for (const OpenboxBinding& binding : bindings) {
        keys << "    <keybind key=\"" << escaped(binding.key) << "\">" << binding.action << "</keybind>\n";
    }
    return xharness::openboxConfig(desktops, keys.str());
}

}  // namespace corvane::bench
