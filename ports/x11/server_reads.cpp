#include "ports/x11/server_reads.hpp"

#include <algorithm>

#include <xcb/xcb_icccm.h>
#include <xcb/xcbext.h>

namespace corvane::x11::ServerReads {

namespace {

// The reply to a property request: taken without waiting when it has come
// already (a request sent as an event announced the change), else waited for.
XPtr<xcb_get_property_reply_t> propertyReply(Connection& connection, xcb_get_property_cookie_t cookie) {
    if (auto arrived = arrivedReply<xcb_get_property_reply_t>(connection.xcb(), cookie.sequence))
        return std::move(*arrived);
    return reply(connection.xcb(), cookie, xcb_get_property_reply);
}

}  // namespace

LayoutRequest requestLayout(Connection& connection, bool randr15) {
    return {requestMonitors(connection, randr15), xcb_get_geometry(connection.xcb(), connection.root())};
}

Layout layoutReply(Connection& connection, const LayoutRequest& request) {
    Layout layout;
    layout.monitors = monitorsReply(connection, request.monitors);
    // The setup's screen size is the one at connection time; RandR may have
    // resized the root since.
    if (auto geometry = reply(connection.xcb(), request.root, xcb_get_geometry_reply)) {
        layout.root = Rect{0, 0, double(geometry->width), double(geometry->height)};
    } else {
        const xcb_screen_t* screen = connection.screen();
        layout.root = Rect{0, 0, double(screen->width_in_pixels), double(screen->height_in_pixels)};
    }
    return layout;
}

std::vector<xcb_get_atom_name_cookie_t> requestNames(Connection& connection,
                                                     const std::vector<Monitor>& monitors) {
    std::vector<xcb_get_atom_name_cookie_t> cookies;
    for (const auto& m : monitors)
        cookies.push_back(m.name != XCB_ATOM_NONE ? xcb_get_atom_name(connection.xcb(), m.name)
                                                  : xcb_get_atom_name_cookie_t{0});
    return cookies;
}

std::vector<std::optional<std::string>> namesReply(Connection& connection,
                                                   const std::vector<xcb_get_atom_name_cookie_t>& cookies) {
    std::vector<std::optional<std::string>> names;
    for (const auto& cookie : cookies) {
        if (cookie.sequence == 0) {
            names.emplace_back();
            continue;
        }
        auto r = reply(connection.xcb(), cookie, xcb_get_atom_name_reply);
        if (r)
            names.emplace_back(std::string(xcb_get_atom_name_name(r.get()),
                                           static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get()))));
        else
            names.emplace_back();
    }
    return names;
}

ClientListRequest requestClientList(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    return {xcb_ewmh_get_client_list(ewmh, connection.screenNumber()),
            xcb_ewmh_get_client_list_stacking(ewmh, connection.screenNumber())};
}

std::vector<xcb_window_t> clientListReply(Connection& connection, const ClientListRequest& request) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_connection_t* c = connection.xcb();
    std::vector<xcb_window_t> windows;
    // Both replies are taken, so none is left waiting; either list names
    // every managed window.
    xcb_ewmh_get_windows_reply_t list;
    const bool hasList = xcb_ewmh_get_client_list_reply(ewmh, awaiting(c, request.list), &list, nullptr) != 0;
    xcb_ewmh_get_windows_reply_t stacking;
    const bool hasStacking =
        xcb_ewmh_get_client_list_stacking_reply(ewmh, awaiting(c, request.stacking), &stacking, nullptr) != 0;
    if (hasStacking) windows.assign(stacking.windows, stacking.windows + stacking.windows_len);
    if (hasList && !hasStacking) windows.assign(list.windows, list.windows + list.windows_len);
    if (hasList) xcb_ewmh_get_windows_reply_wipe(&list);
    if (hasStacking) xcb_ewmh_get_windows_reply_wipe(&stacking);
    return windows;
}

StrutsRequest requestStruts(Connection& connection, std::vector<xcb_window_t> windows) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    StrutsRequest request;
    for (xcb_window_t w : windows) {
        request.partial.push_back(xcb_ewmh_get_wm_strut_partial(ewmh, w));
        request.plain.push_back(xcb_ewmh_get_wm_strut(ewmh, w));
    }
    request.windows = std::move(windows);
    return request;
}

// The struts, and the windows that hold them.
std::pair<std::vector<Strut>, std::vector<xcb_window_t>> strutsReply(Connection& connection,
                                                                     const StrutsRequest& request) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_connection_t* c = connection.xcb();
    std::vector<Strut> struts;
    std::vector<xcb_window_t> holders;
    for (std::size_t i = 0; i < request.windows.size(); ++i) {
        xcb_ewmh_wm_strut_partial_t partial{};
        xcb_ewmh_get_extents_reply_t plain{};
        const bool hasPartial = xcb_ewmh_get_wm_strut_partial_reply(ewmh, awaiting(c, request.partial[i]),
                                                                    &partial, nullptr) != 0;
        const bool hasPlain =
            xcb_ewmh_get_wm_strut_reply(ewmh, awaiting(c, request.plain[i]), &plain, nullptr) != 0;
        if (hasPartial) {
            struts.push_back({partial.left, partial.right, partial.top, partial.bottom, partial.left_start_y,
                              partial.left_end_y, partial.right_start_y, partial.right_end_y,
                              partial.top_start_x, partial.top_end_x, partial.bottom_start_x,
                              partial.bottom_end_x});
        } else if (hasPlain) {
            struts.push_back(Struts::fromPlain(plain.left, plain.right, plain.top, plain.bottom));
        }
        if (hasPartial || hasPlain) holders.push_back(request.windows[i]);
    }
    return {std::move(struts), std::move(holders)};
}

DesktopsRequest requestDesktops(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    return {xcb_ewmh_get_number_of_desktops(ewmh, connection.screenNumber()),
            xcb_ewmh_get_current_desktop(ewmh, connection.screenNumber())};
}

std::optional<Desktops> desktopsReply(Connection& connection, const DesktopsRequest& request) {
    Desktops desktops;
    auto count = propertyReply(connection, request.count);
    auto current = propertyReply(connection, request.current);
    if (!count || !xcb_ewmh_get_cardinal_from_reply(&desktops.count, count.get())) return std::nullopt;
    if (!current || !xcb_ewmh_get_cardinal_from_reply(&desktops.current, current.get())) return std::nullopt;
    return desktops;
}

bool supportedReply(Connection& connection, xcb_get_property_cookie_t cookie) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_ewmh_get_atoms_reply_t atoms;
    if (!xcb_ewmh_get_supported_reply(ewmh, awaiting(connection.xcb(), cookie), &atoms, nullptr))
        return false;
    auto has = [&](xcb_atom_t a) {
        return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, a) != atoms.atoms + atoms.atoms_len;
    };
    const bool all =
        has(ewmh->_NET_NUMBER_OF_DESKTOPS) && has(ewmh->_NET_CURRENT_DESKTOP) && has(ewmh->_NET_WM_DESKTOP);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
    return all;
}

std::optional<xcb_window_t> activeReply(Connection& connection, xcb_get_property_cookie_t cookie) {
    return activeFrom(propertyReply(connection, cookie).get());
}

std::optional<xcb_window_t> activeFrom(xcb_get_property_reply_t* reply) {
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!reply || !xcb_ewmh_get_window_from_reply(&window, reply) || window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

WindowRequest requestWindow(Connection& connection, xcb_window_t window) {
    xcb_connection_t* c = connection.xcb();
    return {ClientWindows::requestClient(connection, window), WindowFrame::requestRead(connection, window),
            xcb_icccm_get_wm_normal_hints(c, window), xcb_ewmh_get_wm_desktop(connection.ewmh(), window)};
}

WindowFacts windowReply(Connection& connection, const WindowRequest& request) {
    xcb_connection_t* c = connection.xcb();
    WindowFacts facts;
    facts.client = ClientWindows::clientReply(connection, request.client);
    facts.reading = WindowFrame::readReply(connection, request.frame);
    xcb_size_hints_t hints{};
    if (xcb_icccm_get_wm_normal_hints_reply(c, awaiting(c, request.hints), &hints, nullptr) &&
        (hints.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC) && (hints.width_inc > 1 || hints.height_inc > 1))
        facts.increment = Size{static_cast<double>(std::max(1, hints.width_inc)),
                               static_cast<double>(std::max(1, hints.height_inc))};
    std::uint32_t desktop = 0;
    if (xcb_ewmh_get_wm_desktop_reply(connection.ewmh(), awaiting(c, request.desktop), &desktop, nullptr))
        facts.desktop = desktop;
    return facts;
}

}  // namespace corvane::x11::ServerReads
