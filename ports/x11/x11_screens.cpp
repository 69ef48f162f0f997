#include "ports/x11/x11_screens.hpp"

#include <algorithm>

namespace corvane::x11 {

namespace {

Rect rectOf(const Monitor& m) {
    return Rect{double(m.x), double(m.y), double(m.width), double(m.height)};
}

// Root coordinates (top-left) to the bottom-left space of the primary.
Rect toBottomLeft(const Rect& r, const Monitor& primary) {
    return Rect{r.x - primary.x, (double(primary.y) + primary.height) - (r.y + r.height), r.width, r.height};
}

}  // namespace

X11Screens::X11Screens(Connection& connection, ServerState& state) : connection_(connection), state_(state) {}

std::uint32_t X11Screens::displayNumber(const Monitor& monitor, std::size_t index) {
    return monitor.name != XCB_ATOM_NONE ? monitor.name : static_cast<std::uint32_t>(index + 1);
}

std::vector<Screen> X11Screens::toScreens(const std::vector<Monitor>& monitors,
                                          const std::vector<Strut>& struts, const Rect& root) {
    std::vector<Screen> result;
    if (monitors.empty()) return result;
    const Monitor& primary = monitors.front();
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Rect area = rectOf(monitors[i]);
        result.push_back(Screen{toBottomLeft(area, primary),
                                toBottomLeft(Struts::visibleArea(area, root, struts), primary),
                                displayNumber(monitors[i], i)});
    }
    return result;
}

std::vector<Screen> X11Screens::screens() {
    connection_.settle();
    const auto layout = state_.layout();
    return toScreens(layout.monitors, state_.struts(), layout.root);
}

std::optional<std::string> X11Screens::displayUUID(std::uint32_t number) {
    connection_.settle();
    const auto layout = state_.layout();
    const auto& list = layout.monitors;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (displayNumber(list[i], i) != number) continue;
        if (list[i].name == XCB_ATOM_NONE) return "monitor-" + std::to_string(i + 1);
        return layout.names[i];
    }
    return std::nullopt;
}

std::optional<Rect> X11Screens::displayBounds(std::uint32_t number) {
    connection_.settle();
    const auto list = state_.layout().monitors;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (displayNumber(list[i], i) != number) continue;
        const Monitor& primary = list.front();
        return Rect{double(list[i].x - primary.x), double(list[i].y - primary.y), double(list[i].width),
                    double(list[i].height)};
    }
    return std::nullopt;
}

}  // namespace corvane::x11
