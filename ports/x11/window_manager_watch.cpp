#include "ports/x11/window_manager_watch.hpp"

namespace corvane::x11 {

WindowManagerWatch::WindowManagerWatch(Connection& connection) : connection_(connection) {
    xcb_connection_t* c = connection_.xcb();
    auto attributes =
        reply(c, xcb_get_window_attributes(c, connection_.root()), xcb_get_window_attributes_reply);
    const std::uint32_t mask =
        (attributes ? attributes->your_event_mask : 0u) | std::uint32_t{XCB_EVENT_MASK_PROPERTY_CHANGE};
    // Checked, so the selection is in force when the port is ready: a
    // manager starting right after us is seen.
    XPtr<xcb_generic_error_t> error(xcb_request_check(
        c,
        awaiting(c, xcb_change_window_attributes_checked(c, connection_.root(), XCB_CW_EVENT_MASK, &mask))));
}

bool WindowManagerWatch::handleEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    xcb_ewmh_connection_t* ewmh = connection_.ewmh();
    if (notify.window != connection_.root()) return false;
    return notify.atom == ewmh->_NET_SUPPORTING_WM_CHECK || notify.atom == ewmh->_NET_SUPPORTED;
}

}  // namespace corvane::x11
