#include "tools/xharness/own_window.hpp"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>

namespace corvane::xharness {

namespace {

xcb_window_t createWindow(XConnection& x, const Rect& area) {
    xcb_connection_t* c = x.get();
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, x.root(), static_cast<std::int16_t>(area.x),
                      static_cast<std::int16_t>(area.y), static_cast<std::uint16_t>(area.width),
                      static_cast<std::uint16_t>(area.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    return window;
}

void setCardinals(XConnection& x, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                  const std::vector<std::uint32_t>& values) {
    xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, property, type, 32,
                        static_cast<std::uint32_t>(values.size()), values.data());
}

bool viewable(XConnection& x, xcb_window_t window) {
    auto attributes = adoptReply(
        xcb_get_window_attributes_reply(x.get(), xcb_get_window_attributes(x.get(), window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool listed(XConnection& x, xcb_window_t window) {
    const std::vector<xcb_window_t> clients = x.clientList();
    return std::find(clients.begin(), clients.end(), window) != clients.end();
}

// Maps the window and waits until `taken` holds for it.
void mapAndWait(XConnection& x, xcb_window_t window, const std::function<bool()>& taken, const char* what) {
    xcb_map_window(x.get(), window);
    if (!x.waitFor(taken)) {
        throw std::runtime_error(std::string("the window manager did not take ") + what +
                                 " (viewable: " + (viewable(x, window) ? "yes" : "no") +
                                 ", listed: " + (listed(x, window) ? "yes" : "no") + ")");
    }
}

}  // namespace

xcb_window_t openOwnWindow(XConnection& x, const Rect& area, const std::string& wmClass) {
    const xcb_window_t window = createWindow(x, area);
    setCardinals(x, window, x.ewmh()->_NET_WM_PID, XCB_ATOM_CARDINAL,
                 {static_cast<std::uint32_t>(::getpid())});
    // WM_CLASS is instance and class, each ending in a NUL.
    const std::string classes = wmClass + '\0' + wmClass + '\0';
    xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(classes.size()), classes.data());
    // WM_SIZE_HINTS with PPosition | PSize: the window manager keeps both
    // rather than placing the window itself.
    std::vector<std::uint32_t> hints(18, 0);
    hints[0] = 4 | 8;
    hints[1] = static_cast<std::uint32_t>(area.x);
    hints[2] = static_cast<std::uint32_t>(area.y);
    hints[3] = static_cast<std::uint32_t>(area.width);
    hints[4] = static_cast<std::uint32_t>(area.height);
    setCardinals(x, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, hints);
    mapAndWait(
        x, window,
        [&] {
            return viewable(x, window) && listed(x, window) && x.frameExtents(window) &&
                   x.activeWindow() == window;
        },
        "a test window");
    return window;
}

xcb_window_t openOwnDock(XConnection& x, const Rect& area, const std::vector<std::uint32_t>& strutPartial) {
    const xcb_window_t window = createWindow(x, area);
    const xcb_atom_t dock = x.ewmh()->_NET_WM_WINDOW_TYPE_DOCK;
    xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, x.ewmh()->_NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM,
                        32, 1, &dock);
    setCardinals(x, window, x.ewmh()->_NET_WM_STRUT_PARTIAL, XCB_ATOM_CARDINAL, strutPartial);
    mapAndWait(
        x, window, [&] { return viewable(x, window) && listed(x, window); }, "a dock");
    return window;
}

}  // namespace corvane::xharness
