#include "tools/xharness/x_connection.hpp"

#include <poll.h>

#include <cstdlib>
#include <stdexcept>

#include "tools/xharness/deadline.hpp"

namespace corvane::xharness {

namespace {

constexpr std::uint32_t rootEvents =
    XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
constexpr std::uint32_t clientEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;

}  // namespace

XConnection::XConnection(const std::string& displayName) {
    int screenNumber = 0;
    connection_ = xcb_connect(displayName.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        throw std::runtime_error("cannot connect to X display " + displayName);
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
    screen_ = it.data;

    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection_, &ewmh_);
    ewmhReady_ = xcb_ewmh_init_atoms_replies(&ewmh_, cookies, nullptr) != 0;
    if (!ewmhReady_) {
        xcb_disconnect(connection_);
        throw std::runtime_error("cannot intern the EWMH atoms on " + displayName);
    }
    xcb_change_window_attributes(connection_, root(), XCB_CW_EVENT_MASK, &rootEvents);
    sync();
}

XConnection::~XConnection() {
    if (ewmhReady_) xcb_ewmh_connection_wipe(&ewmh_);
    xcb_disconnect(connection_);
}

xcb_atom_t XConnection::atom(const std::string& name) {
    if (auto found = atoms_.find(name); found != atoms_.end()) return found->second;
    auto reply = adoptReply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()),
        nullptr));
    xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    if (result != XCB_ATOM_NONE) atoms_.emplace(name, result);
    return result;
}

void XConnection::sync() {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

void XConnection::consume(xcb_generic_event_t* event) {
    if (observer_) observer_(*event);
    std::free(event);
}

bool XConnection::consumeQueuedEvents() {
    bool any = false;
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(connection_)) {
        consume(event);
        any = true;
    }
    return any;
}

bool XConnection::waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                          int alsoWatch) {
    Deadline deadline(timeout);
    for (;;) {
        if (condition()) return true;
        if (hasError()) return false;
        xcb_flush(connection_);
        // The condition's own round trips may have pulled events in; those
        // changes happened after its reads began, so look again at once
        // (unless time is up: a busy server must not keep us here forever).
        const bool pulledEvents = consumeQueuedEvents();
        if (deadline.passed()) return condition();
        if (pulledEvents) continue;
        pollfd p[2] = {{.fd = xcb_get_file_descriptor(connection_), .events = POLLIN, .revents = 0},
                       {.fd = alsoWatch, .events = POLLIN, .revents = 0}};
        if (::poll(p, alsoWatch >= 0 ? 2 : 1, deadline.remainingMs()) == 0) return condition();
        if (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) consume(event);
        consumeQueuedEvents();
    }
}

void XConnection::watch(xcb_window_t window) {
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &clientEvents);
    sync();
}

std::optional<Rect> XConnection::clientArea(xcb_window_t window) {
    auto geometry =
        adoptReply(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    auto origin = adoptReply(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root(), 0, 0), nullptr));
    if (!geometry || !origin) return std::nullopt;
    return Rect{static_cast<double>(origin->dst_x), static_cast<double>(origin->dst_y),
                static_cast<double>(geometry->width), static_cast<double>(geometry->height)};
}

std::optional<FrameExtents> XConnection::frameExtents(xcb_window_t window) {
    std::vector<std::uint32_t> values = cardinals(window, ewmh_._NET_FRAME_EXTENTS);
    if (values.size() < 4) return std::nullopt;
    return FrameExtents{values[0], values[1], values[2], values[3]};
}

std::optional<Rect> XConnection::outerFrame(xcb_window_t window) {
    std::optional<Rect> area = clientArea(window);
    if (!area) return std::nullopt;
    FrameExtents e = frameExtents(window).value_or(FrameExtents{});
    return Rect{area->x - e.left, area->y - e.top, area->width + e.left + e.right,
                area->height + e.top + e.bottom};
}

std::vector<std::uint32_t> XConnection::cardinals(xcb_window_t window, xcb_atom_t property) {
    auto reply = adoptReply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    if (!reply || reply->format != 32) return {};
    auto* data = static_cast<std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> XConnection::sizeIncrements(xcb_window_t window) {
    // WM_SIZE_HINTS: flags, 4 obsolete fields, min, max, then the increments.
    constexpr std::uint32_t resizeIncrementsSet = 1U << 6;
    std::vector<std::uint32_t> hints = cardinals(window, XCB_ATOM_WM_NORMAL_HINTS);
    if (hints.size() < 11 || (hints[0] & resizeIncrementsSet) == 0) return std::nullopt;
    return std::pair{hints[9], hints[10]};
}

std::optional<std::uint32_t> XConnection::windowDesktop(xcb_window_t window) {
    std::uint32_t value = 0;
    if (!xcb_ewmh_get_wm_desktop_reply(&ewmh_, xcb_ewmh_get_wm_desktop(&ewmh_, window), &value, nullptr)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> XConnection::windowPid(xcb_window_t window) {
    std::uint32_t value = 0;
    if (!xcb_ewmh_get_wm_pid_reply(&ewmh_, xcb_ewmh_get_wm_pid(&ewmh_, window), &value, nullptr)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> XConnection::currentDesktop() {
    std::uint32_t value = 0;
    if (!xcb_ewmh_get_current_desktop_reply(&ewmh_, xcb_ewmh_get_current_desktop(&ewmh_, 0), &value,
                                            nullptr)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> XConnection::numberOfDesktops() {
    std::uint32_t value = 0;
    if (!xcb_ewmh_get_number_of_desktops_reply(&ewmh_, xcb_ewmh_get_number_of_desktops(&ewmh_, 0), &value,
                                               nullptr)) {
        return std::nullopt;
    }
    return value;
}

std::optional<xcb_window_t> XConnection::activeWindow() {
    xcb_window_t value = XCB_NONE;
    if (!xcb_ewmh_get_active_window_reply(&ewmh_, xcb_ewmh_get_active_window(&ewmh_, 0), &value, nullptr)) {
        return std::nullopt;
    }
    return value;
}

std::vector<xcb_window_t> XConnection::clientList() {
    xcb_ewmh_get_windows_reply_t list{};
    if (!xcb_ewmh_get_client_list_reply(&ewmh_, xcb_ewmh_get_client_list(&ewmh_, 0), &list, nullptr))
        return {};
    std::vector<xcb_window_t> result(list.windows, list.windows + list.windows_len);
    xcb_ewmh_get_windows_reply_wipe(&list);
    return result;
}

std::optional<xcb_window_t> XConnection::windowManagerCheck() {
    xcb_window_t onRoot = XCB_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(&ewmh_, xcb_ewmh_get_supporting_wm_check(&ewmh_, root()),
                                                &onRoot, nullptr)) {
        return std::nullopt;
    }
    // A live manager's check window carries the same property pointing at itself.
    xcb_window_t onChild = XCB_NONE;
    if (!xcb_ewmh_get_supporting_wm_check_reply(&ewmh_, xcb_ewmh_get_supporting_wm_check(&ewmh_, onRoot),
                                                &onChild, nullptr) ||
        onChild != onRoot) {
        return std::nullopt;
    }
    return onRoot;
}

xcb_window_t XConnection::selectionOwner(const std::string& selection) {
    auto reply = adoptReply(xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, atom(selection)), nullptr));
    return reply ? reply->owner : XCB_NONE;
}

void XConnection::requestActivation(xcb_window_t window) {
    // Source 2: a pager, which window managers obey without focus-stealing checks.
    xcb_ewmh_request_change_active_window(&ewmh_, 0, window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          XCB_CURRENT_TIME, XCB_NONE);
    xcb_flush(connection_);
}

}  // namespace corvane::xharness
