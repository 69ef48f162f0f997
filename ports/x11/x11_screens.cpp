#include "ports/x11/x11_screens.hpp"

#include <algorithm>

#include "ports/x11/client_windows.hpp"

namespace corvane::x11 {

namespace {

Rect rectOf(const Monitor& m) {
    return Rect{double(m.x), double(m.y), double(m.width), double(m.height)};
}

Rect boundingBox(const std::vector<Monitor>& monitors) {
    double left = monitors.front().x, top = monitors.front().y;
    double right = left + monitors.front().width, bottom = top + monitors.front().height;
    for (const auto& m : monitors) {
        left = std::min(left, double(m.x));
        top = std::min(top, double(m.y));
        right = std::max(right, double(m.x) + m.width);
        bottom = std::max(bottom, double(m.y) + m.height);
    }
    return Rect{left, top, right - left, bottom - top};
}

// Root coordinates (top-left) to the bottom-left space of the primary.
Rect toBottomLeft(const Rect& r, const Monitor& primary) {
    return Rect{r.x - primary.x, (double(primary.y) + primary.height) - (r.y + r.height), r.width, r.height};
}

}  // namespace

X11Screens::X11Screens(Connection& connection, bool randr15) : connection_(connection), randr15_(randr15) {}

std::uint32_t X11Screens::displayNumber(const Monitor& monitor, std::size_t index) {
    return monitor.name != XCB_ATOM_NONE ? monitor.name : static_cast<std::uint32_t>(index + 1);
}

std::vector<Screen> X11Screens::toScreens(const std::vector<Monitor>& monitors,
                                          const std::vector<Strut>& struts) {
    std::vector<Screen> result;
    if (monitors.empty()) return result;
    const Monitor& primary = monitors.front();
    const Rect screen = boundingBox(monitors);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Rect area = rectOf(monitors[i]);
        result.push_back(Screen{toBottomLeft(area, primary),
                                toBottomLeft(Struts::visibleArea(area, screen, struts), primary),
                                displayNumber(monitors[i], i)});
    }
    return result;
}

std::vector<Monitor> X11Screens::monitors() {
    return monitorsReply(connection_, requestMonitors(connection_, randr15_));
}

std::vector<Strut> X11Screens::struts() {
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    const auto windows = ClientWindows::stacking(connection_);
    struct Cookies {
        xcb_get_property_cookie_t partial, plain;
    };
    std::vector<Cookies> cookies;
    for (xcb_window_t w : windows)
        cookies.push_back({xcb_ewmh_get_wm_strut_partial(ewmh, w), xcb_ewmh_get_wm_strut(ewmh, w)});
    std::vector<Strut> result;
    for (const auto& c : cookies) {
        xcb_ewmh_wm_strut_partial_t partial{};
        xcb_ewmh_get_extents_reply_t plain{};
        const bool hasPartial = xcb_ewmh_get_wm_strut_partial_reply(ewmh, c.partial, &partial, nullptr) != 0;
        const bool hasPlain = xcb_ewmh_get_wm_strut_reply(ewmh, c.plain, &plain, nullptr) != 0;
        if (hasPartial) {
            result.push_back({partial.left, partial.right, partial.top, partial.bottom, partial.left_start_y,
                              partial.left_end_y, partial.right_start_y, partial.right_end_y,
                              partial.top_start_x, partial.top_end_x, partial.bottom_start_x,
                              partial.bottom_end_x});
        } else if (hasPlain) {
            result.push_back(Struts::fromPlain(plain.left, plain.right, plain.top, plain.bottom));
        }
    }
    return result;
}

std::vector<Screen> X11Screens::screens() {
    return toScreens(monitors(), struts());
}

std::optional<std::string> X11Screens::displayUUID(std::uint32_t number) {
    const auto list = monitors();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (displayNumber(list[i], i) != number) continue;
        if (list[i].name == XCB_ATOM_NONE) return "monitor-" + std::to_string(i + 1);
        return connection_.atomName(list[i].name);
    }
    return std::nullopt;
}

std::optional<Rect> X11Screens::displayBounds(std::uint32_t number) {
    const auto list = monitors();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (displayNumber(list[i], i) != number) continue;
        const Monitor& primary = list.front();
        return Rect{double(list[i].x - primary.x), double(list[i].y - primary.y), double(list[i].width),
                    double(list[i].height)};
    }
    return std::nullopt;
}

}  // namespace corvane::x11
