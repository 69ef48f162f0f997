// corvane-test-window: the plainest client a window manager can get. It
// sets a title, a class and _NET_WM_PID but no size hints, so the manager
// gives it exactly the frame it is asked for; it paints its title and its
// current size so screenshots show what happened; it quits on
// WM_DELETE_WINDOW or when the server goes away.
//
// Usage: corvane-test-window [TITLE [WIDTH HEIGHT]]

#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void setString(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
               const std::string& text) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<std::uint32_t>(text.size()), text.data());
}

// The first core font the server has, from large to small; XCB_NONE if none.
xcb_font_t openFont(xcb_connection_t* c) {
    for (const char* name : {"-misc-fixed-bold-r-normal--18-*-*-*-*-*-iso8859-1", "9x15bold", "fixed"}) {
        xcb_font_t font = xcb_generate_id(c);
        xcb_void_cookie_t cookie =
            xcb_open_font_checked(c, font, static_cast<std::uint16_t>(std::strlen(name)), name);
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            std::free(error);
            continue;
        }
        return font;
    }
    return XCB_NONE;
}

void drawLine(xcb_connection_t* c, xcb_window_t w, xcb_gcontext_t gc, const std::string& text, int width,
              int y) {
    const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(text.size(), 255));
    const int x = std::max(8, width / 2 - static_cast<int>(length) * 5);
    xcb_image_text_8(c, length, w, gc, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                     text.data());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string title = argc > 1 ? argv[1] : "Test window";
    const int initialWidth = argc > 3 ? std::atoi(argv[2]) : 640;
    const int initialHeight = argc > 3 ? std::atoi(argv[3]) : 480;

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

    const std::uint32_t background = 0x2f5d8aU;
    const std::uint32_t values[] = {background, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0,
                      static_cast<std::uint16_t>(initialWidth), static_cast<std::uint16_t>(initialHeight), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    const xcb_atom_t utf8 = intern(c, "UTF8_STRING");
    const xcb_atom_t deleteWindow = intern(c, "WM_DELETE_WINDOW");
    setString(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
    setString(c, window, intern(c, "_NET_WM_NAME"), utf8, title);
    setString(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
              std::string("corvane-test-window\0CorvaneTestWindow", 38));
    std::array<char, 256> host{};
    ::gethostname(host.data(), host.size() - 1);
    setString(c, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, host.data());
    const auto pid = static_cast<std::uint32_t>(::getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                        &pid);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow);

    const xcb_font_t font = openFont(c);
    xcb_gcontext_t gc = xcb_generate_id(c);
    const std::uint32_t gcValues[] = {0xffffffU, background, font};
    xcb_create_gc(c, gc, window, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | (font ? XCB_GC_FONT : 0), gcValues);

    xcb_map_window(c, window);
    xcb_flush(c);

    int width = initialWidth;
    int height = initialHeight;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        switch (event->response_type & 0x7f) {
            case XCB_EXPOSE:
                if (reinterpret_cast<xcb_expose_event_t*>(event)->count == 0 && font) {
                    drawLine(c, window, gc, title, width, height / 2 - 6);
                    drawLine(c, window, gc, std::to_string(width) + " x " + std::to_string(height), width,
                             height / 2 + 18);
                    xcb_flush(c);
                }
                break;
            case XCB_CONFIGURE_NOTIFY: {
                auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                width = configure->width;
                height = configure->height;
                break;
            }
            case XCB_CLIENT_MESSAGE:
                if (reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[0] == deleteWindow) {
                    std::free(event);
                    xcb_disconnect(c);
                    return 0;
                }
                break;
            default:
                break;
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}
