#include "ports/x11/x11_window_manager.hpp"

#include <algorithm>
#include <utility>

namespace corvane::x11 {

namespace {

constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// What the port relies on, by the names a user can look up in their window
// manager's documentation. Placing reads the active window and the frame
// extents; desktop moves also count, switch and assign desktops.
std::vector<std::pair<xcb_atom_t, const char*>> placementNeeds(xcb_ewmh_connection_t* ewmh) {
    return {{ewmh->_NET_ACTIVE_WINDOW, "_NET_ACTIVE_WINDOW"},
            {ewmh->_NET_FRAME_EXTENTS, "_NET_FRAME_EXTENTS"}};
}

std::vector<std::pair<xcb_atom_t, const char*>> desktopNeeds(xcb_ewmh_connection_t* ewmh) {
    return {{ewmh->_NET_NUMBER_OF_DESKTOPS, "_NET_NUMBER_OF_DESKTOPS"},
            {ewmh->_NET_CURRENT_DESKTOP, "_NET_CURRENT_DESKTOP"},
            {ewmh->_NET_WM_DESKTOP, "_NET_WM_DESKTOP"}};
}

std::vector<std::string> missing(const std::vector<std::pair<xcb_atom_t, const char*>>& needs,
                                 const std::vector<xcb_atom_t>& supported) {
    std::vector<std::string> names;
    for (const auto& [atom, name] : needs)
        if (std::find(supported.begin(), supported.end(), atom) == supported.end()) names.emplace_back(name);
    return names;
}

std::vector<std::string> allNames(const std::vector<std::pair<xcb_atom_t, const char*>>& needs) {
    return missing(needs, {});
}

}  // namespace

X11WindowManager::X11WindowManager(Connection& connection) : connection_(connection) {}

// The root names the check window, and the check window names itself: a
// manager that has died leaves the root property behind, pointing nowhere.
std::optional<xcb_window_t> X11WindowManager::checkWindow() {
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    const auto fromRoot =
        connection_.cardinal(connection_.root(), ewmh->_NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW);
    if (!fromRoot || *fromRoot == XCB_NONE) return std::nullopt;
    const auto fromItself = connection_.cardinal(*fromRoot, ewmh->_NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW);
    if (!fromItself || *fromItself != *fromRoot) return std::nullopt;
    return *fromRoot;
}

WindowManager::Facts X11WindowManager::facts() {
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    Facts facts;
    const auto check = checkWindow();
    if (!check) {
        facts.missingForPlacement = allNames(placementNeeds(ewmh));
        facts.missingForDesktops = allNames(desktopNeeds(ewmh));
        return facts;
    }
    auto nameCookie = xcb_ewmh_get_wm_name(ewmh, *check);
    auto supportedCookie = xcb_ewmh_get_supported(ewmh, connection_.screenNumber());

    xcb_ewmh_get_utf8_strings_reply_t name;
    if (xcb_ewmh_get_wm_name_reply(ewmh, awaiting(ewmh->connection, nameCookie), &name, nullptr)) {
        facts.name = std::string(name.strings, name.strings_len);
        xcb_ewmh_get_utf8_strings_reply_wipe(&name);
    } else {
        // It announces itself without a name: still a window manager.
        facts.name = std::string();
    }
    std::vector<xcb_atom_t> supported;
    xcb_ewmh_get_atoms_reply_t atoms;
    if (xcb_ewmh_get_supported_reply(ewmh, awaiting(ewmh->connection, supportedCookie), &atoms, nullptr)) {
        supported.assign(atoms.atoms, atoms.atoms + atoms.atoms_len);
        xcb_ewmh_get_atoms_reply_wipe(&atoms);
    }
    facts.missingForPlacement = missing(placementNeeds(ewmh), supported);
    facts.missingForDesktops = missing(desktopNeeds(ewmh), supported);
    return facts;
}

void X11WindowManager::present(std::uint64_t nativeWindow) {
    if (nativeWindow == 0 || nativeWindow > 0xFFFFFFFFu) return;
    const auto window = static_cast<xcb_window_t>(nativeWindow);
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    const int screen = connection_.screenNumber();
    // A window shown again keeps the desktop it was hidden on, which may not
    // be the one the user looks at now.
    const auto current =
        connection_.cardinal(connection_.root(), ewmh->_NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL);
    const auto own = connection_.cardinal(window, ewmh->_NET_WM_DESKTOP, XCB_ATOM_CARDINAL);
    if (current && (!own || (*own != *current && *own != kAllDesktops)))
        xcb_ewmh_request_change_wm_desktop(ewmh, screen, window, *current, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    // As a pager asks: window managers refuse an application's own request
    // when they think it steals focus, but the user asked for this window.
    xcb_ewmh_request_change_active_window(ewmh, screen, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          XCB_CURRENT_TIME, XCB_NONE);
    connection_.flush();
}

}  // namespace corvane::x11
