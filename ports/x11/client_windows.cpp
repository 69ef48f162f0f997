#include "ports/x11/client_windows.hpp"

#include <algorithm>

namespace corvane::x11::ClientWindows {

namespace {

// Sends one pid request per window before waiting for any reply.
std::vector<std::optional<pid_t>> pids(Connection& connection, const std::vector<xcb_window_t>& windows) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t w : windows) cookies.push_back(xcb_ewmh_get_wm_pid(ewmh, w));
    std::vector<std::optional<pid_t>> result;
    result.reserve(windows.size());
    for (auto cookie : cookies) {
        std::uint32_t value = 0;
        if (xcb_ewmh_get_wm_pid_reply(ewmh, cookie, &value, nullptr) && value != 0)
            result.emplace_back(static_cast<pid_t>(value));
        else
            result.emplace_back(std::nullopt);
    }
    return result;
}

bool contains(const xcb_ewmh_get_atoms_reply_t& atoms, xcb_atom_t atom) {
    return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, atom) != atoms.atoms + atoms.atoms_len;
}

// A window the user works in: no type, or a normal or dialog window; and not
// minimised.
bool isWorkWindow(Connection& connection, xcb_window_t window) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    auto typeCookie = xcb_ewmh_get_wm_window_type(ewmh, window);
    auto stateCookie = xcb_ewmh_get_wm_state(ewmh, window);
    bool ordinary = true;
    xcb_ewmh_get_atoms_reply_t types;
    if (xcb_ewmh_get_wm_window_type_reply(ewmh, typeCookie, &types, nullptr)) {
        ordinary = types.atoms_len == 0 || contains(types, ewmh->_NET_WM_WINDOW_TYPE_NORMAL) ||
                   contains(types, ewmh->_NET_WM_WINDOW_TYPE_DIALOG);
        xcb_ewmh_get_atoms_reply_wipe(&types);
    }
    bool hidden = false;
    xcb_ewmh_get_atoms_reply_t states;
    if (xcb_ewmh_get_wm_state_reply(ewmh, stateCookie, &states, nullptr)) {
        hidden = contains(states, ewmh->_NET_WM_STATE_HIDDEN);
        xcb_ewmh_get_atoms_reply_wipe(&states);
    }
    return ordinary && !hidden;
}

}  // namespace

std::optional<xcb_window_t> active(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    xcb_window_t window = XCB_WINDOW_NONE;
    if (!xcb_ewmh_get_active_window_reply(ewmh, xcb_ewmh_get_active_window(ewmh, connection.screenNumber()),
                                          &window, nullptr) ||
        window == XCB_WINDOW_NONE)
        return std::nullopt;
    return window;
}

std::optional<pid_t> pid(Connection& connection, xcb_window_t window) {
    return pids(connection, {window}).front();
}

std::vector<xcb_window_t> stacking(Connection& connection) {
    xcb_ewmh_connection_t* ewmh = connection.ewmh();
    const int screen = connection.screenNumber();
    xcb_ewmh_get_windows_reply_t list;
    std::vector<xcb_window_t> windows;
    if (xcb_ewmh_get_client_list_stacking_reply(ewmh, xcb_ewmh_get_client_list_stacking(ewmh, screen), &list,
                                                nullptr) ||
        xcb_ewmh_get_client_list_reply(ewmh, xcb_ewmh_get_client_list(ewmh, screen), &list, nullptr)) {
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

std::vector<xcb_window_t> windowsOf(Connection& connection, pid_t owner) {
    const auto windows = stacking(connection);
    const auto owners = pids(connection, windows);
    std::vector<xcb_window_t> result;
    for (std::size_t i = 0; i < windows.size(); ++i)
        if (owners[i] == owner) result.push_back(windows[i]);
    return result;
}

}  // namespace corvane::x11::ClientWindows
