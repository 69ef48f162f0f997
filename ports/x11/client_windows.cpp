#include "ports/x11/client_windows.hpp"

#include <algorithm>
#include <cstring>

#include <xcb/res.h>

namespace corvane::x11::ClientWindows {

namespace {

bool hasResourceExtension(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    return extension && extension->present;
}

// The local process id the server records for the client that created the
// window; 0 when it knows none.
std::optional<pid_t> clientPid(xcb_connection_t* c, xcb_res_query_client_ids_cookie_t cookie) {
    auto r = reply(c, cookie, xcb_res_query_client_ids_reply);
    if (!r) return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(r.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if (!(it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID)) continue;
        if (xcb_res_client_id_value_value_length(it.data) < 1) continue;
        const std::uint32_t value = *xcb_res_client_id_value_value(it.data);
        if (value != 0 && value != 0xFFFFFFFF) return static_cast<pid_t>(value);
    }
    return std::nullopt;
}

// Sends every pid request (both kinds for each window) before waiting for
// any reply: one round trip for the whole list.
std::vector<std::optional<pid_t>> pids(Connection& connection, const std::vector<xcb_window_t>& windows) {
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    const bool resources = hasResourceExtension(c);
    struct Cookies {
        xcb_get_property_cookie_t property;
        xcb_res_query_client_ids_cookie_t client;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows) {
        Cookies pair{xcb_ewmh_get_wm_pid(ewmh, w), {}};
        if (resources) {
            const xcb_res_client_id_spec_t spec{w, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            pair.client = xcb_res_query_client_ids(c, 1, &spec);
        }
        cookies.push_back(pair);
    }
    std::vector<std::optional<pid_t>> result;
    result.reserve(windows.size());
    for (const auto& pair : cookies) {
        std::uint32_t value = 0;
        std::optional<pid_t> owner;
        if (xcb_ewmh_get_wm_pid_reply(ewmh, awaiting(ewmh->connection, pair.property), &value, nullptr) &&
            value != 0)
            owner = static_cast<pid_t>(value);
        // Both replies are always taken, so none is left waiting in xcb.
        std::optional<pid_t> client = resources ? clientPid(c, pair.client) : std::nullopt;
        result.push_back(owner ? owner : client);
    }
    return result;
}

bool contains(const xcb_ewmh_get_atoms_reply_t& atoms, xcb_atom_t atom) {
    return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, atom) != atoms.atoms + atoms.atoms_len;
}

// The first type in the list that EWMH defines decides (the list runs from
// most to least preferred, and may start with types of other desktops).
bool ordinaryType(xcb_ewmh_connection_t* ewmh, const xcb_ewmh_get_atoms_reply_t& types) {
    const xcb_atom_t ordinary[] = {ewmh->_NET_WM_WINDOW_TYPE_NORMAL, ewmh->_NET_WM_WINDOW_TYPE_DIALOG};
    const xcb_atom_t other[] = {
        ewmh->_NET_WM_WINDOW_TYPE_DESKTOP,       ewmh->_NET_WM_WINDOW_TYPE_DOCK,
        ewmh->_NET_WM_WINDOW_TYPE_TOOLBAR,       ewmh->_NET_WM_WINDOW_TYPE_MENU,
        ewmh->_NET_WM_WINDOW_TYPE_UTILITY,       ewmh->_NET_WM_WINDOW_TYPE_SPLASH,
        ewmh->_NET_WM_WINDOW_TYPE_DROPDOWN_MENU, ewmh->_NET_WM_WINDOW_TYPE_POPUP_MENU,
        ewmh->_NET_WM_WINDOW_TYPE_TOOLTIP,       ewmh->_NET_WM_WINDOW_TYPE_NOTIFICATION,
        ewmh->_NET_WM_WINDOW_TYPE_COMBO,         ewmh->_NET_WM_WINDOW_TYPE_DND};
    for (std::uint32_t i = 0; i < types.atoms_len; ++i) {
        const xcb_atom_t type = types.atoms[i];
        if (std::find(std::begin(ordinary), std::end(ordinary), type) != std::end(ordinary)) return true;
        if (std::find(std::begin(other), std::end(other), type) != std::end(other)) return false;
    }
    return true;
}

// An ordinary window that is not minimised.
bool isWorkWindow(Connection& connection, xcb_window_t window) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    auto typeCookie = xcb_ewmh_get_wm_window_type(ewmh, window);
    auto stateCookie = xcb_ewmh_get_wm_state(ewmh, window);
    bool ordinary = true;
    xcb_ewmh_get_atoms_reply_t types;
    if (xcb_ewmh_get_wm_window_type_reply(ewmh, awaiting(ewmh->connection, typeCookie), &types, nullptr)) {
        ordinary = ordinaryType(ewmh, types);
        xcb_ewmh_get_atoms_reply_wipe(&types);
    }
    bool hidden = false;
    xcb_ewmh_get_atoms_reply_t states;
    if (xcb_ewmh_get_wm_state_reply(ewmh, awaiting(ewmh->connection, stateCookie), &states, nullptr)) {
        hidden = contains(states, ewmh->_NET_WM_STATE_HIDDEN);
        xcb_ewmh_get_atoms_reply_wipe(&states);
    }
    return ordinary && !hidden;
}

}  // namespace

std::optional<xcb_window_t> active(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_active_window_reply(
            ewmh, awaiting(ewmh->connection, xcb_ewmh_get_active_window(ewmh, connection.screenNumber())),
            &window, nullptr) ||
        window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

std::optional<pid_t> pid(Connection& connection, xcb_window_t window) {
    return pids(connection, {window}).front();
}

bool isOrdinary(Connection& connection, xcb_window_t window) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_ewmh_get_atoms_reply_t types;
    if (!xcb_ewmh_get_wm_window_type_reply(
            ewmh, awaiting(ewmh->connection, xcb_ewmh_get_wm_window_type(ewmh, window)), &types, nullptr))
        return true;
    const bool ordinary = ordinaryType(ewmh, types);
    xcb_ewmh_get_atoms_reply_wipe(&types);
    return ordinary;
}

std::vector<xcb_window_t> stacking(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    const int screen = connection.screenNumber();
    xcb_ewmh_get_windows_reply_t list;
    std::vector<xcb_window_t> windows;
    if (xcb_ewmh_get_client_list_stacking_reply(
            ewmh, awaiting(ewmh->connection, xcb_ewmh_get_client_list_stacking(ewmh, screen)), &list,
            nullptr) ||
        xcb_ewmh_get_client_list_reply(
            ewmh, awaiting(ewmh->connection, xcb_ewmh_get_client_list(ewmh, screen)), &list, nullptr)) {
        windows.assign(list.windows, list.windows + list.windows_len);
        xcb_ewmh_get_windows_reply_wipe(&list);
    }
    return windows;
}

std::optional<xcb_window_t> applicationWindow(Connection& connection, pid_t owner) {
    if (auto window = active(connection); window && pid(connection, *window) == owner) return window;
    const auto windows = windowsOf(connection, owner);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (isWorkWindow(connection, *it)) return *it;
    return std::nullopt;
}

ClientRequest requestClient(Connection& connection, xcb_window_t window) {
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    ClientRequest request;
    request.pid = xcb_ewmh_get_wm_pid(ewmh, window);
    request.type = xcb_ewmh_get_wm_window_type(ewmh, window);
    request.resources = hasResourceExtension(c);
    if (request.resources) {
        const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        request.client = xcb_res_query_client_ids(c, 1, &spec);
    }
    return request;
}

ClientFacts clientReply(Connection& connection, const ClientRequest& request) {
    xcb_connection_t* c = connection.xcb();
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    ClientFacts facts;
    std::uint32_t value = 0;
    if (xcb_ewmh_get_wm_pid_reply(ewmh, awaiting(c, request.pid), &value, nullptr) && value != 0)
        facts.pid = static_cast<pid_t>(value);
    xcb_ewmh_get_atoms_reply_t types;
    if (xcb_ewmh_get_wm_window_type_reply(ewmh, awaiting(c, request.type), &types, nullptr)) {
        facts.ordinary = ordinaryType(ewmh, types);
        xcb_ewmh_get_atoms_reply_wipe(&types);
    }
    // Taken even when the property named the process, so that no reply is
    // left waiting in xcb.
    const std::optional<pid_t> client = request.resources ? clientPid(c, request.client) : std::nullopt;
    if (!facts.pid) facts.pid = client;
    return facts;
}

std::vector<xcb_window_t> windowsOf(Connection& connection, pid_t owner) {
    const auto windows = stacking(connection);
    const auto owners = pids(connection, windows);
    std::vector<xcb_window_t> result;
    for (std::size_t i = 0; i < windows.size(); ++i)
        if (owners[i] == owner) result.push_back(windows[i]);
    return result;
}

}  // namespace corvane::x11::ClientWindows
