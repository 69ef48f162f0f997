#include "ports/x11/window_frame.hpp"

#include <poll.h>
#include <algorithm>
#include <cmath>
#include <memory>

#include "ports/x11/press_trace.hpp"

namespace corvane::x11::WindowFrame {

namespace {

bool contains(const xcb_ewmh_get_atoms_reply_t& atoms, xcb_atom_t atom) {
    return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, atom) != atoms.atoms + atoms.atoms_len;
}

std::uint32_t toPixels(double value) {
    return static_cast<std::uint32_t>(std::clamp(std::lround(value), 1L, 32767L));
}

std::int32_t toCoordinate(double value) {
    return static_cast<std::int32_t>(std::clamp(std::lround(value), -32768L, 32767L));
}

struct Shadow {
    std::uint32_t left = 0, right = 0, top = 0, bottom = 0;
};

// _GTK_FRAME_EXTENTS: left, right, top, bottom. A value that would leave
// nothing of the window visible is not believed.
Shadow shadowOf(const xcb_get_property_reply_t* property, std::uint32_t width, std::uint32_t height) {
    if (!property || property->type != XCB_ATOM_CARDINAL || property->format != 32 ||
        xcb_get_property_value_length(property) < static_cast<int>(4 * sizeof(std::uint32_t)))
        return {};
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(property));
    const Shadow shadow{v[0], v[1], v[2], v[3]};
    const std::uint64_t across = std::uint64_t(shadow.left) + shadow.right;
    const std::uint64_t down = std::uint64_t(shadow.top) + shadow.bottom;
    if (across >= width || down >= height) return {};
    return shadow;
}

}  // namespace

std::optional<FrameReading> read(Connection& connection, xcb_window_t window) {
    return readReply(connection, requestRead(connection, window));
}

ReadRequest requestRead(Connection& connection, xcb_window_t window) {
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    // Five requests, one round trip.
    return ReadRequest{
        xcb_get_geometry(c, window), xcb_translate_coordinates(c, window, connection.root(), 0, 0),
        xcb_ewmh_get_frame_extents(ewmh, window), xcb_ewmh_get_wm_state(ewmh, window),
        xcb_get_property(c, 0, window, connection.atoms().gtkFrameExtents, XCB_ATOM_CARDINAL, 0, 4)};
}

std::optional<FrameReading> readReply(Connection& connection, const ReadRequest& request) {
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    const auto geometryCookie = request.geometry;
    const auto originCookie = request.origin;
    const auto extentsCookie = request.extents;
    const auto stateCookie = request.state;
    const auto shadowCookie = request.shadow;

    auto geometry = reply(c, geometryCookie, xcb_get_geometry_reply);
    auto origin = reply(c, originCookie, xcb_translate_coordinates_reply);
    xcb_ewmh_get_extents_reply_t extents{};
    const bool hasExtents = xcb_ewmh_get_frame_extents_reply(ewmh, awaiting(ewmh->connection, extentsCookie),
                                                             &extents, nullptr) != 0;
    xcb_ewmh_get_atoms_reply_t states;
    bool maximized = false;
    if (xcb_ewmh_get_wm_state_reply(ewmh, awaiting(ewmh->connection, stateCookie), &states, nullptr)) {
        maximized = contains(states, ewmh->_NET_WM_STATE_MAXIMIZED_HORZ) ||
                    contains(states, ewmh->_NET_WM_STATE_MAXIMIZED_VERT) ||
                    contains(states, ewmh->_NET_WM_STATE_FULLSCREEN);
        xcb_ewmh_get_atoms_reply_wipe(&states);
    }
    auto shadowReply = reply(c, shadowCookie, xcb_get_property_reply);
    if (!geometry || !origin) return std::nullopt;

    const Shadow shadow = shadowOf(shadowReply.get(), geometry->width, geometry->height);
    FrameReading r;
    const auto border = static_cast<std::int32_t>(geometry->border_width);
    const auto decoration = [&](std::uint32_t extent) { return static_cast<std::int32_t>(extent) + border; };
    r.left = decoration(hasExtents ? extents.left : 0) - static_cast<std::int32_t>(shadow.left);
    r.right = decoration(hasExtents ? extents.right : 0) - static_cast<std::int32_t>(shadow.right);
    r.top = decoration(hasExtents ? extents.top : 0) - static_cast<std::int32_t>(shadow.top);
    r.bottom = decoration(hasExtents ? extents.bottom : 0) - static_cast<std::int32_t>(shadow.bottom);
    r.shadowLeft = shadow.left;
    r.shadowTop = shadow.top;
    // translate_coordinates gives the client's inside corner; the border and
    // the decorations lie outside it, the shadow inside.
    r.outer = Rect{static_cast<double>(origin->dst_x) - r.left, static_cast<double>(origin->dst_y) - r.top,
                   static_cast<double>(geometry->width) + r.left + r.right,
                   static_cast<double>(geometry->height) + r.top + r.bottom};
    r.maximizedOrFullscreen = maximized;
    return r;
}

Size clientSize(const FrameReading& reading, Size outer) {
    return Size{std::max(1.0, outer.width - reading.left - reading.right),
                std::max(1.0, outer.height - reading.top - reading.bottom)};
}

void requestRestore(Connection& connection, xcb_window_t window) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    const int screen = connection.screenNumber();
    xcb_ewmh_request_change_wm_state(ewmh, screen, window, XCB_EWMH_WM_STATE_REMOVE,
                                     ewmh->_NET_WM_STATE_MAXIMIZED_HORZ, ewmh->_NET_WM_STATE_MAXIMIZED_VERT,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_ewmh_request_change_wm_state(ewmh, screen, window, XCB_EWMH_WM_STATE_REMOVE,
                                     ewmh->_NET_WM_STATE_FULLSCREEN, XCB_ATOM_NONE,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
}

FrameReading restore(Connection& connection, xcb_window_t window, const FrameReading& reading,
                     std::chrono::milliseconds timeout) {
    struct Disconnect {
        void operator()(xcb_connection_t* c) const noexcept { xcb_disconnect(c); }
    };
    const std::string& name = connection.displayName();
    std::unique_ptr<xcb_connection_t, Disconnect> watcher(
        xcb_connect(name.empty() ? nullptr : name.c_str(), nullptr));
    xcb_connection_t* w = watcher.get();
    if (xcb_connection_has_error(w)) return reading;

    // The window manager handles requests in order, so once it has answered
    // a frame-extents request sent after the restore, the restore is done.
    // The answer lands on a scratch window this connection listens to.
    const xcb_window_t probe = xcb_generate_id(w);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(w, 0, probe, connection.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    reply(w, xcb_get_input_focus(w), xcb_get_input_focus_reply);

    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    requestRestore(connection, window);
    xcb_ewmh_send_client_message(connection.xcb(), probe, connection.root(), ewmh->_NET_REQUEST_FRAME_EXTENTS,
                                 0, nullptr);
    connection.flush();

    auto answered = [&] {
        auto r = reply(w, xcb_get_property(w, 0, probe, ewmh->_NET_FRAME_EXTENTS, XCB_ATOM_ANY, 0, 4),
                       xcb_get_property_reply);
        return r && r->type != XCB_ATOM_NONE;
    };
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!answered()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(w)) break;
        if (XPtr<xcb_generic_event_t> queued{xcb_poll_for_queued_event(w)}) continue;
        pollfd p{xcb_get_file_descriptor(w), POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
        while (XPtr<xcb_generic_event_t> event{xcb_poll_for_event(w)}) {
        }
    }
    // A window manager that never answered leaves us the best reading there is.
    return read(connection, window).value_or(reading);
}

void place(Connection& connection, xcb_window_t window, const FrameReading& reading,
           std::optional<Point> outerOrigin, std::optional<Size> outerSize) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    const int screen = connection.screenNumber();
    int flags = 0;
    std::int32_t x = 0, y = 0;
    std::uint32_t width = 0, height = 0;
    if (outerOrigin) {
        flags |= XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y;
        x = toCoordinate(outerOrigin->x - reading.shadowLeft);
        y = toCoordinate(outerOrigin->y - reading.shadowTop);
    }
    if (outerSize) {
        flags |= XCB_EWMH_MOVERESIZE_WINDOW_WIDTH | XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT;
        const Size client = clientSize(reading, *outerSize);
        width = toPixels(client.width);
        height = toPixels(client.height);
    }
    if (flags == 0) return;
    xcb_ewmh_request_moveresize_window(
        ewmh, screen, window, XCB_GRAVITY_NORTH_WEST, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
        static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(flags), static_cast<std::uint32_t>(x),
        static_cast<std::uint32_t>(y), width, height);
    connection.flush();
    PressTrace::requestSent("_NET_MOVERESIZE_WINDOW");
}

}  // namespace corvane::x11::WindowFrame
