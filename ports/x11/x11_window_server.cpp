#include "ports/x11/x11_window_server.hpp"

#include <algorithm>

#include "ports/x11/x11_element.hpp"

namespace corvane::x11 {

namespace {

constexpr std::int32_t kConnection = 1;
constexpr std::int32_t kIllegalSpace = -50;
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// A space identifier as a desktop index, when it can name one.
std::optional<std::uint32_t> desktopIndex(std::uint64_t space) {
    if (space == 0 || space > kAllDesktops) return std::nullopt;
    return static_cast<std::uint32_t>(space - 1);
}

PlistValue spaceEntry(std::uint32_t index) {
    return PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(std::int64_t(index) + 1)},
                                  {"type", PlistValue::integer(0)}};
}

}  // namespace

X11WindowServer::X11WindowServer(Connection& connection, bool randr15)
    : connection_(connection), randr15_(randr15) {}

bool X11WindowServer::supported() {
    connection_.settle();
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    xcb_ewmh_get_atoms_reply_t atoms;
    if (!xcb_ewmh_get_supported_reply(ewmh, xcb_ewmh_get_supported(ewmh, connection_.screenNumber()), &atoms,
                                      nullptr))
        return false;
    auto has = [&](xcb_atom_t a) {
        return std::find(atoms.atoms, atoms.atoms + atoms.atoms_len, a) != atoms.atoms + atoms.atoms_len;
    };
    const bool all =
        has(ewmh->_NET_NUMBER_OF_DESKTOPS) && has(ewmh->_NET_CURRENT_DESKTOP) && has(ewmh->_NET_WM_DESKTOP);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
    return all;
}

WindowServer::Availability X11WindowServer::availability() {
    const bool ok = supported();
    return Availability{ok, ok, ok, ok};
}

std::optional<std::int32_t> X11WindowServer::mainConnection() {
    if (!supported()) return std::nullopt;
    return kConnection;
}

PlistValue X11WindowServer::displaySpaces(const std::vector<std::string>& monitorNames,
                                          std::uint32_t desktops, std::uint32_t current) {
    PlistValue::Array spaces;
    for (std::uint32_t i = 0; i < desktops; ++i) spaces.push_back(spaceEntry(i));
    PlistValue::Array displays;
    for (const auto& name : monitorNames) {
        displays.push_back(PlistValue::Dictionary{
            {"Display Identifier", name},
            {"Current Space",
             PlistValue::Dictionary{{"ManagedSpaceID", PlistValue::integer(std::int64_t(current) + 1)}}},
            {"Spaces", spaces}});
    }
    return displays;
}

std::optional<PlistValue> X11WindowServer::copyManagedDisplaySpaces(std::int32_t) {
    connection_.settle();
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    const int screen = connection_.screenNumber();
    auto monitorsRequest = requestMonitors(connection_, randr15_);
    auto countCookie = xcb_ewmh_get_number_of_desktops(ewmh, screen);
    auto currentCookie = xcb_ewmh_get_current_desktop(ewmh, screen);
    const auto monitors = monitorsReply(connection_, monitorsRequest);
    std::uint32_t count = 0, current = 0;
    const bool hasCount = xcb_ewmh_get_number_of_desktops_reply(ewmh, countCookie, &count, nullptr) != 0;
    const bool hasCurrent = xcb_ewmh_get_current_desktop_reply(ewmh, currentCookie, &current, nullptr) != 0;
    if (!hasCount || !hasCurrent) return std::nullopt;

    // Names are asked for together: one more round trip.
    std::vector<xcb_get_atom_name_cookie_t> nameCookies;
    for (const auto& m : monitors) nameCookies.push_back(xcb_get_atom_name(connection_.xcb(), m.name));
    std::vector<std::string> names;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        auto r = reply(connection_.xcb(), nameCookies[i], xcb_get_atom_name_reply);
        if (r)
            names.emplace_back(xcb_get_atom_name_name(r.get()),
                               static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get())));
        else
            names.push_back("monitor-" + std::to_string(i + 1));
    }
    return displaySpaces(names, count, current);
}

std::optional<PlistValue> X11WindowServer::copySpacesForWindows(std::int32_t, std::int32_t,
                                                                const std::vector<std::uint32_t>& windows) {
    connection_.settle();
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    auto countCookie = xcb_ewmh_get_number_of_desktops(ewmh, connection_.screenNumber());
    std::vector<xcb_get_property_cookie_t> cookies;
    for (std::uint32_t w : windows) cookies.push_back(xcb_ewmh_get_wm_desktop(ewmh, w));
    std::uint32_t count = 0;
    const bool hasCount = xcb_ewmh_get_number_of_desktops_reply(ewmh, countCookie, &count, nullptr) != 0;
    PlistValue::Array spaces;
    auto add = [&](std::uint32_t index) {
        const PlistValue id = PlistValue::integer(std::int64_t(index) + 1);
        if (std::find(spaces.begin(), spaces.end(), id) == spaces.end()) spaces.push_back(id);
    };
    for (auto cookie : cookies) {
        std::uint32_t desktop = 0;
        if (!xcb_ewmh_get_wm_desktop_reply(ewmh, cookie, &desktop, nullptr)) continue;
        if (desktop == kAllDesktops) {
            for (std::uint32_t i = 0; hasCount && i < count; ++i) add(i);
        } else {
            add(desktop);
        }
    }
    if (!connection_.isAlive()) return std::nullopt;
    return PlistValue(std::move(spaces));
}

std::optional<std::int32_t> X11WindowServer::setCurrentSpace(std::int32_t, const std::string&,
                                                             std::uint64_t space) {
    connection_.settle();
    const auto index = desktopIndex(space);
    if (!index || *index == kAllDesktops) return kIllegalSpace;
    xcb_ewmh_request_change_current_desktop(connection_.ewmh(), connection_.screenNumber(), *index,
                                            XCB_CURRENT_TIME);
    connection_.flush();
    return connection_.isAlive() ? 0 : kIllegalSpace;
}

std::optional<WindowServer::WindowNumber> X11WindowServer::windowNumber(const Element& window) {
    const auto* e = window.as<X11Element>();
    if (!e || e->kind != X11Element::Kind::window) return WindowNumber{static_cast<std::int32_t>(-25202), 0};
    return WindowNumber{0, e->window};
}

bool X11WindowServer::performBridgedMove(const std::vector<std::uint32_t>& windows, std::uint64_t space) {
    connection_.settle();
    const auto index = desktopIndex(space);
    if (!index || *index == kAllDesktops || windows.empty()) return false;
    for (std::uint32_t w : windows)
        xcb_ewmh_request_change_wm_desktop(connection_.ewmh(), connection_.screenNumber(), w, *index,
                                           XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    connection_.flush();
    return connection_.isAlive();
}

WindowServer::Names X11WindowServer::names() {
    // There is no access to grant on X11: only the window manager can lack desktops.
    return Names{"The window manager", "this window manager", "your desktop's workspace settings",
                 "Desktop moves are unavailable: the window manager offers no EWMH desktops"};
}

}  // namespace corvane::x11
