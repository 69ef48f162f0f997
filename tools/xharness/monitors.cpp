#include "tools/xharness/monitors.hpp"

#include <xcb/randr.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace corvane::xharness {

namespace {

std::vector<xcb_randr_output_t> screenOutputs(XConnection& x) {
    auto resources = adoptReply(xcb_randr_get_screen_resources_current_reply(
        x.get(), xcb_randr_get_screen_resources_current(x.get(), x.root()), nullptr));
    if (!resources) throw std::runtime_error("RandR: cannot read the screen resources");
    xcb_randr_output_t* outputs = xcb_randr_get_screen_resources_current_outputs(resources.get());
    return std::vector<xcb_randr_output_t>(
        outputs, outputs + xcb_randr_get_screen_resources_current_outputs_length(resources.get()));
}

std::string atomName(XConnection& x, xcb_atom_t atom) {
    auto reply = adoptReply(xcb_get_atom_name_reply(x.get(), xcb_get_atom_name(x.get(), atom), nullptr));
    if (!reply) return {};
    return std::string(xcb_get_atom_name_name(reply.get()),
                       static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())));
}

// One strut, as the edges of the screen it pushes in from.
struct Strut {
    double left = 0, right = 0, top = 0, bottom = 0;
    double leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    double topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;
};

std::vector<Strut> struts(XConnection& x) {
    const double width = x.screen().width_in_pixels;
    const double height = x.screen().height_in_pixels;
    std::vector<Strut> result;
    for (xcb_window_t window : x.clientList()) {
        std::vector<std::uint32_t> v = x.cardinals(window, x.ewmh()->_NET_WM_STRUT_PARTIAL);
        if (v.size() >= 12) {
            result.push_back(Strut{double(v[0]), double(v[1]), double(v[2]), double(v[3]), double(v[4]),
                                   double(v[5]), double(v[6]), double(v[7]), double(v[8]), double(v[9]),
                                   double(v[10]), double(v[11])});
            continue;
        }
        v = x.cardinals(window, x.ewmh()->_NET_WM_STRUT);
        if (v.size() >= 4) {
            // The old form reserves along the whole edge.
            result.push_back(Strut{double(v[0]), double(v[1]), double(v[2]), double(v[3]), 0, height - 1, 0,
                                   height - 1, 0, width - 1, 0, width - 1});
        }
    }
    return result;
}

bool spans(double start, double end, double low, double high) {
    return start < high && end >= low;
}

Rect lessStruts(const Rect& monitor, const std::vector<Strut>& all, double screenWidth, double screenHeight) {
    double minX = monitor.minX(), maxX = monitor.maxX(), minY = monitor.minY(), maxY = monitor.maxY();
    for (const Strut& s : all) {
        if (s.left > 0 && spans(s.leftStartY, s.leftEndY, monitor.minY(), monitor.maxY()) &&
            s.left > monitor.minX())
            minX = std::max(minX, s.left);
        if (s.right > 0 && spans(s.rightStartY, s.rightEndY, monitor.minY(), monitor.maxY()) &&
            screenWidth - s.right < monitor.maxX())
            maxX = std::min(maxX, screenWidth - s.right);
        if (s.top > 0 && spans(s.topStartX, s.topEndX, monitor.minX(), monitor.maxX()) &&
            s.top > monitor.minY())
            minY = std::max(minY, s.top);
        if (s.bottom > 0 && spans(s.bottomStartX, s.bottomEndX, monitor.minX(), monitor.maxX()) &&
            screenHeight - s.bottom < monitor.maxY())
            maxY = std::min(maxY, screenHeight - s.bottom);
    }
    return Rect{minX, minY, maxX - minX, maxY - minY};
}

}  // namespace

std::vector<std::vector<std::string>> setMonitorCommands(XConnection& x,
                                                         const std::vector<MonitorSpec>& specs) {
    std::string outputName = "none";
    if (std::vector<xcb_randr_output_t> outputs = screenOutputs(x); !outputs.empty()) {
        auto info = adoptReply(xcb_randr_get_output_info_reply(
            x.get(), xcb_randr_get_output_info(x.get(), outputs[0], XCB_CURRENT_TIME), nullptr));
        if (info) {
            outputName.assign(reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get())),
                              static_cast<std::size_t>(xcb_randr_get_output_info_name_length(info.get())));
        }
    }
    std::vector<std::vector<std::string>> commands;
    for (const MonitorSpec& spec : specs) {
        // Physical size at 96 dpi; only the ratio matters to anyone.
        std::string geometry = std::to_string(spec.width) + "/" + std::to_string(spec.width * 254 / 960) +
                               "x" + std::to_string(spec.height) + "/" +
                               std::to_string(spec.height * 254 / 960) + "+" + std::to_string(spec.x) + "+" +
                               std::to_string(spec.y);
        commands.push_back({"xrandr", "--setmonitor", (spec.primary ? "*" : "") + spec.name, geometry,
                            commands.empty() ? outputName : "none"});
    }
    return commands;
}

std::vector<MonitorArea> monitorAreas(XConnection& x) {
    auto reply = adoptReply(
        xcb_randr_get_monitors_reply(x.get(), xcb_randr_get_monitors(x.get(), x.root(), 1), nullptr));
    if (!reply) return {};
    const std::vector<Strut> all = struts(x);
    std::vector<MonitorArea> result;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t& m = *it.data;
        Rect frame{double(m.x), double(m.y), double(m.width), double(m.height)};
        result.push_back(MonitorArea{
            atomName(x, m.name), frame,
            lessStruts(frame, all, x.screen().width_in_pixels, x.screen().height_in_pixels), m.primary != 0});
    }
    std::stable_partition(result.begin(), result.end(), [](const MonitorArea& a) { return a.primary; });
    return result;
}

}  // namespace corvane::xharness
