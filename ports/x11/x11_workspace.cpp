#include "ports/x11/x11_workspace.hpp"

#include <algorithm>
#include <cctype>
#include <string>

#include <xcb/xcb_icccm.h>

#include "ports/x11/client_windows.hpp"
#include "ports/xdg/open_url.hpp"

namespace corvane::x11 {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

X11Workspace::X11Workspace(Connection& connection, ServerState& state)
    : connection_(connection), state_(state) {}

std::optional<Application> X11Workspace::frontmostApplication() {
    auto window = state_.activeWindow();
    if (!window) return std::nullopt;
    if (const auto facts = state_.pressFacts(*window))
        return Application{facts->client.pid.value_or(0), *window};
    return Application{ClientWindows::pid(connection_, *window).value_or(0), *window};
}

std::vector<pid_t> X11Workspace::runningApplications(std::string_view bundleIdentifier) {
    xcb_connection_t* c = connection_.xcb();
    const auto windows = ClientWindows::stacking(connection_);
    std::vector<xcb_get_property_cookie_t> cookies;
    for (xcb_window_t w : windows) cookies.push_back(xcb_icccm_get_wm_class(c, w));
    std::vector<xcb_window_t> matching;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        xcb_icccm_get_wm_class_reply_t wmClass;
        if (!xcb_icccm_get_wm_class_reply(c, awaiting(c, cookies[i]), &wmClass, nullptr)) continue;
        if (equalIgnoringCase(wmClass.instance_name ? wmClass.instance_name : "", bundleIdentifier) ||
            equalIgnoringCase(wmClass.class_name ? wmClass.class_name : "", bundleIdentifier))
            matching.push_back(windows[i]);
        xcb_icccm_get_wm_class_reply_wipe(&wmClass);
    }
    std::vector<pid_t> pids;
    for (xcb_window_t w : matching) {
        auto pid = ClientWindows::pid(connection_, w);
        if (pid && std::find(pids.begin(), pids.end(), *pid) == pids.end()) pids.push_back(*pid);
    }
    return pids;
}

bool X11Workspace::activate(const Application& application) {
    std::optional<xcb_window_t> window;
    const auto frontmost = static_cast<xcb_window_t>(application.window);
    // The window active at this press is one the window manager manages.
    const auto isManaged = [&] {
        if (state_.pressFacts(frontmost)) return true;
        const auto managed = ClientWindows::stacking(connection_);
        return std::find(managed.begin(), managed.end(), frontmost) != managed.end();
    };
    if (frontmost != XCB_WINDOW_NONE && isManaged())
        window = frontmost;
    else if (application.pid != 0)
        window = ClientWindows::applicationWindow(connection_, application.pid);
    if (!window) return false;
    return state_.requestActivation(*window);
}

bool X11Workspace::terminate(pid_t pid) {
    xcb_connection_t* c = connection_.xcb();
    const auto windows = ClientWindows::windowsOf(connection_, pid);
    const xcb_atom_t deleteWindow = connection_.atoms().wmDeleteWindow;
    for (xcb_window_t w : windows) {
        bool takesDelete = false;
        xcb_icccm_get_wm_protocols_reply_t protocols;
        if (xcb_icccm_get_wm_protocols_reply(
                c, awaiting(c, xcb_icccm_get_wm_protocols(c, w, connection_.ewmh()->WM_PROTOCOLS)),
                &protocols, nullptr)) {
            takesDelete = std::find(protocols.atoms, protocols.atoms + protocols.atoms_len, deleteWindow) !=
                          protocols.atoms + protocols.atoms_len;
            xcb_icccm_get_wm_protocols_reply_wipe(&protocols);
        }
        if (takesDelete) {
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = w;
            message.type = connection_.ewmh()->WM_PROTOCOLS;
            message.data.data32[0] = deleteWindow;
            message.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        } else {
            xcb_ewmh_request_close_window(connection_.ewmh(), connection_.screenNumber(), w, XCB_CURRENT_TIME,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        }
    }
    connection_.flush();
    return !windows.empty() && connection_.isAlive();
}

bool X11Workspace::openURL(std::string_view url) {
    return xdg::openURL(url);
}

}  // namespace corvane::x11
