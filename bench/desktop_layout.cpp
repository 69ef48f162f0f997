#include "bench/desktop_layout.hpp"

#include <X11/keysym.h>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "core/geometry.hpp"
#include "tools/xharness/client_window.hpp"

namespace corvane::bench {

namespace {

std::string openboxKey(int n) {
    return "W-F" + std::to_string(n);
}

}  // namespace

Rect Layout::frameOf(Placement placement) const {
    return Geometry::frame(placement, visible, 0);
}

Layout measureLayout(xharness::XServer& server, const std::filesystem::path& work) {
    const std::filesystem::path config = work / "probe-rc.xml";
    std::ofstream(config) << openboxConfig(desktopCount, {});
    server.startWindowManager(config);
    std::optional<xharness::FrameExtents> extents;
    {
        // Closed before the manager goes, which then has nothing to hand back.
        std::unique_ptr<xharness::ClientWindow> probe =
            xharness::ClientWindow::open(server, "Corvane bench probe");
        extents = server.x().frameExtents(probe->id());
    }
    std::vector<xharness::MonitorArea> monitors = server.monitors();
    server.stopWindowManager();
    if (!extents || monitors.empty())
        throw std::runtime_error("cannot read the frame extents or the monitors");
    return Layout{*extents, monitors.front().visible};
}

std::vector<OpenboxBinding> benchBindings(const Layout& layout) {
    std::vector<OpenboxBinding> bindings;
    for (const HalfKeys& half : allHalfKeys) {
        const Rect frame = layout.frameOf(half.placement);
        bindings.push_back(
            {openboxKey(half.wmctrlKey), executeAction(wmctrlMoveResizeCommand(frame, layout.extents))});
        bindings.push_back({openboxKey(half.builtInKey), moveResizeToAction(frame)});
    }
    bindings.push_back({openboxKey(wmctrlSendKey),
                        executeAction(wmctrlSendToDesktopCommand(static_cast<int>(targetDesktop)))});
    bindings.push_back(
        {openboxKey(builtInSendKey), sendToDesktopAction(static_cast<int>(targetDesktop) + 1)});
    bindings.push_back({openboxKey(wmctrlFollowKey),
                        executeAction(wmctrlSendAndFollowCommand(static_cast<int>(targetDesktop)))});
    bindings.push_back(
        {openboxKey(builtInFollowKey), sendToDesktopAction(static_cast<int>(targetDesktop) + 1, true)});
    return bindings;
}

xharness::Chord superF(int n) {
    xharness::Chord chord;
    chord.modifierKeys = {XK_Super_L};
    chord.key = static_cast<xcb_keysym_t>(XK_F1 + n - 1);
    chord.modifierMask = XCB_MOD_MASK_4;
    chord.text = "Super+F" + std::to_string(n);
    return chord;
}

std::string text(const Rect& rect) {
    std::ostringstream out;
    out << '(' << rect.x << ',' << rect.y << ',' << rect.width << ',' << rect.height << ')';
    return out.str();
}

}  // namespace corvane::bench
