#include "bench/busy_client.hpp"

#include <chrono>
#include <cstring>
#include <memory>

#include <xcb/xcb.h>

namespace corvane::bench {

namespace {

struct Disconnect {
    void operator()(xcb_connection_t* c) const noexcept { xcb_disconnect(c); }
};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

BusyClient::BusyClient(const std::string& display, int perSecond)
    : thread_([this, display, perSecond] { run(display, perSecond); }) {}

BusyClient::~BusyClient() {
    stop_ = true;
    thread_.join();
}

std::string BusyClient::trouble() const {
    return failed_ ? "the busy client lost its connection to the X server" : "";
}

void BusyClient::run(std::string display, int perSecond) {
    std::unique_ptr<xcb_connection_t, Disconnect> connection(xcb_connect(display.c_str(), nullptr));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c)) {
        failed_ = true;
        return;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_atom_t netName = intern(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = intern(c, "UTF8_STRING");
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 400, 300, 320, 200, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(c, window);
    xcb_flush(c);

    const auto period = std::chrono::microseconds(1000000 / perSecond);
    auto next = std::chrono::steady_clock::now();
    for (long i = 0; !stop_; ++i) {
        const std::string title = "busy " + std::to_string(i);
        const auto length = static_cast<std::uint32_t>(title.size());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, length,
                            title.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, netName, utf8, 8, length, title.data());
        const std::uint32_t x = 400 + static_cast<std::uint32_t>(i % 2);
        xcb_configure_window(c, window, XCB_CONFIG_WINDOW_X, &x);
        xcb_flush(c);
        // Nothing of ours is selected, but errors would pile up unread.
        while (std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event{xcb_poll_for_event(c),
                                                                                &std::free}) {
        }
        if (xcb_connection_has_error(c)) {
            failed_ = true;
            return;
        }
        ++changes_;
        next += period;
        std::this_thread::sleep_until(next);
    }
}

}  // namespace corvane::bench
