#include "ports/x11/monitors.hpp"

#include <algorithm>

namespace corvane::x11 {

bool hasRandr15(const Connection& connection) {
    xcb_connection_t* c = connection.xcb();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_randr_id);
    if (!extension || !extension->present) return false;
    auto version = reply(c, xcb_randr_query_version(c, 1, 5), xcb_randr_query_version_reply);
    return version &&
           (version->major_version > 1 || (version->major_version == 1 && version->minor_version >= 5));
}

MonitorsRequest requestMonitors(const Connection& connection, bool randr15) {
    MonitorsRequest request;
    request.randr = randr15;
    if (randr15) request.cookie = xcb_randr_get_monitors(connection.xcb(), connection.root(), 1);
    return request;
}

std::vector<Monitor> monitorsReply(const Connection& connection, MonitorsRequest request) {
    std::vector<Monitor> monitors;
    if (request.randr) {
        auto r = reply(connection.xcb(), request.cookie, xcb_randr_get_monitors_reply);
        if (r) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem > 0;
                 xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t& m = *it.data;
                if (m.width == 0 || m.height == 0) continue;
                monitors.push_back({m.name, m.x, m.y, m.width, m.height, m.primary != 0});
            }
        }
    }
    if (monitors.empty()) {
        const xcb_screen_t* screen = connection.screen();
        monitors.push_back({XCB_ATOM_NONE, 0, 0, screen->width_in_pixels, screen->height_in_pixels, true});
    }
    return primaryFirst(std::move(monitors));
}

std::vector<Monitor> primaryFirst(std::vector<Monitor> monitors) {
    auto primary = std::find_if(monitors.begin(), monitors.end(), [](const Monitor& m) { return m.primary; });
    if (primary != monitors.end()) std::rotate(monitors.begin(), primary, primary + 1);
    return monitors;
}

}  // namespace corvane::x11
