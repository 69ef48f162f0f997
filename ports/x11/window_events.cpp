#include "ports/x11/window_events.hpp"

namespace corvane::x11 {

std::uint32_t WindowEvents::unionOf(const Counts& counts) {
    std::uint32_t mask = XCB_EVENT_MASK_NO_EVENT;
    for (const auto& [bits, count] : counts) {
        if (count > 0) mask |= bits;
    }
    return mask;
}

void WindowEvents::select(xcb_window_t window, std::uint32_t mask) {
    xcb_change_window_attributes(connection_.xcb(), window, XCB_CW_EVENT_MASK, &mask);
    connection_.flush();
}

void WindowEvents::listen(xcb_window_t window, std::uint32_t mask) {
    Counts& counts = listeners_[window];
    const std::uint32_t before = unionOf(counts);
    ++counts[mask];
    if (const std::uint32_t now = unionOf(counts); now != before) select(window, now);
}

bool WindowEvents::listenChecked(xcb_window_t window, std::uint32_t mask) {
    Counts& counts = listeners_[window];
    ++counts[mask];
    const std::uint32_t now = unionOf(counts);
    xcb_connection_t* c = connection_.xcb();
    XPtr<xcb_generic_error_t> error{xcb_request_check(
        c, awaiting(c, xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &now)))};
    if (!error && connection_.isAlive()) return true;
    forget(window);
    return false;
}

void WindowEvents::stopListening(xcb_window_t window, std::uint32_t mask) {
    const auto found = listeners_.find(window);
    if (found == listeners_.end()) return;
    Counts& counts = found->second;
    const auto held = counts.find(mask);
    if (held == counts.end()) return;
    const std::uint32_t before = unionOf(counts);
    if (--held->second == 0) counts.erase(held);
    const std::uint32_t now = unionOf(counts);
    if (counts.empty()) listeners_.erase(found);
    if (now != before && connection_.isAlive()) select(window, now);
}

std::uint32_t WindowEvents::selected(xcb_window_t window) const {
    const auto found = listeners_.find(window);
    return found == listeners_.end() ? std::uint32_t{XCB_EVENT_MASK_NO_EVENT} : unionOf(found->second);
}

}  // namespace corvane::x11
