#include "ports/x11/x11_screens.hpp"

#include <algorithm>

#include "ports/x11/client_windows.hpp"

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

X11Screens::X11Screens(Connection& connection, bool randr15) : connection_(connection), randr15_(randr15) {}

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

Rect X11Screens::rootArea() {
    // The setup's screen size is the one at connection time; RandR may have
    // resized the root since.
    xcb_connection_t* c = connection_.xcb();
    if (auto geometry = reply(c, xcb_get_geometry(c, connection_.root()), xcb_get_geometry_reply))
        return Rect{0, 0, double(geometry->width), double(geometry->height)};
    const xcb_screen_t* screen = connection_.screen();
    return Rect{0, 0, double(screen->width_in_pixels), double(screen->height_in_pixels)};
}

std::vector<Screen> X11Screens::screens() {
    connection_.settle();
    return toScreens(monitors(), struts(), rootArea());
}

std::optional<std::string> X11Screens::displayUUID(std::uint32_t number) {
    connection_.settle();
    const auto list = monitors();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (displayNumber(list[i], i) != number) continue;
        if (list[i].name == XCB_ATOM_NONE) return "monitor-" + std::to_string(i + 1);
        return connection_.atomName(list[i].name);
    }
    return std::nullopt;
}

std::optional<Rect> X11Screens::displayBounds(std::uint32_t number) {
    connection_.settle();
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
