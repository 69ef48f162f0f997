#include "bench/window_requests.hpp"

#include <xcb/xcb_ewmh.h>

#include <cmath>

namespace corvane::bench {

void requestOuterFrame(xharness::XConnection& x, xcb_window_t window, const Rect& outerFrame,
                       const xharness::FrameExtents& extents) {
    const auto flags = static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(
        XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y | XCB_EWMH_MOVERESIZE_WINDOW_WIDTH |
        XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT);
    const auto width =
        static_cast<std::uint32_t>(std::lround(outerFrame.width)) - extents.left - extents.right;
    const auto height =
        static_cast<std::uint32_t>(std::lround(outerFrame.height)) - extents.top - extents.bottom;
    xcb_ewmh_request_moveresize_window(x.ewmh(), 0, window, XCB_GRAVITY_NORTH_WEST,
                                       XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, flags,
                                       static_cast<std::uint32_t>(std::lround(outerFrame.x)),
                                       static_cast<std::uint32_t>(std::lround(outerFrame.y)), width, height);
    xcb_flush(x.get());
}

void requestDesktop(xharness::XConnection& x, xcb_window_t window, std::uint32_t desktop) {
    xcb_ewmh_request_change_wm_desktop(x.ewmh(), 0, window, desktop, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    xcb_flush(x.get());
}

void requestCurrentDesktop(xharness::XConnection& x, std::uint32_t desktop) {
    xcb_ewmh_request_change_current_desktop(x.ewmh(), 0, desktop, XCB_CURRENT_TIME);
    xcb_flush(x.get());
}

}  // namespace corvane::bench
