// corvane-test-window: the plainest client a window manager can get. It
// sets a title, a class and _NET_WM_PID but no size hints, so the manager
// gives it exactly the frame it is asked for; it paints its title and its
// current size so screenshots show what happened; it quits on
// WM_DELETE_WINDOW or when the server goes away.
//
// Usage: corvane-test-window [--no-pid] [--type NAME] [--csd L,R,T,B] [TITLE [WIDTH HEIGHT]]
//   --no-pid   publish no _NET_WM_PID, as many older toolkits and remote clients do
//   --type     _NET_WM_WINDOW_TYPE_<NAME> (DOCK, DESKTOP, SPLASH, ...)
//   --csd      draw its own frame, as GTK does: no window-manager decorations, and an
//              invisible margin (painted dark here; announced in _GTK_FRAME_EXTENTS)
//              around the visible window
// The harness finds the window by _CORVANE_TEST_WINDOW_PID, which it always sets.

#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

struct Margin {
    std::uint32_t left = 0, right = 0, top = 0, bottom = 0;
};

int main(int argc, char** argv) {
    bool publishPid = true;
    std::string type;
    Margin margin;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--no-pid") {
            publishPid = false;
        } else if (argument == "--type" && i + 1 < argc) {
            type = argv[++i];
        } else if (argument == "--csd" && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%u,%u,%u,%u", &margin.left, &margin.right, &margin.top,
                            &margin.bottom) != 4)
                return 2;
        } else {
            positional.push_back(argument);
        }
    }
    const std::string title = !positional.empty() ? positional[0] : "Test window";
    const int initialWidth = positional.size() > 2 ? std::atoi(positional[1].c_str()) : 640;
    const int initialHeight = positional.size() > 2 ? std::atoi(positional[2].c_str()) : 480;
    const bool drawsOwnFrame = margin.left + margin.right + margin.top + margin.bottom > 0;

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
    if (publishPid)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32,
                            1, &pid);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "_CORVANE_TEST_WINDOW_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    if (!type.empty()) {
        const xcb_atom_t typeAtom = intern(c, ("_NET_WM_WINDOW_TYPE_" + type).c_str());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM,
                            32, 1, &typeAtom);
    }
    if (drawsOwnFrame) {
        const std::uint32_t extents[] = {margin.left, margin.right, margin.top, margin.bottom};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "_GTK_FRAME_EXTENTS"),
                            XCB_ATOM_CARDINAL, 32, 4, extents);
        // flags: decorations given; decorations: none.
        const std::uint32_t motif[] = {2, 0, 0, 0, 0};
        const xcb_atom_t motifAtom = intern(c, "_MOTIF_WM_HINTS");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, motifAtom, motifAtom, 32, 5, motif);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, intern(c, "WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow);

    const xcb_font_t font = openFont(c);
    xcb_gcontext_t gc = xcb_generate_id(c);
    const std::uint32_t gcValues[] = {0xffffffU, background, font};
    xcb_create_gc(c, gc, window, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | (font ? XCB_GC_FONT : 0), gcValues);
    // The margin stands for the invisible shadow; on a server without
    // compositing it is painted in a colour of its own so pictures show it.
    xcb_gcontext_t shadowGc = xcb_generate_id(c);
    const std::uint32_t shadowValues[] = {0x1a1a1aU};
    xcb_create_gc(c, shadowGc, window, XCB_GC_FOREGROUND, shadowValues);

    xcb_map_window(c, window);
    xcb_flush(c);

    int width = initialWidth;
    int height = initialHeight;
    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        switch (event->response_type & 0x7f) {
            case XCB_EXPOSE:
                if (reinterpret_cast<xcb_expose_event_t*>(event)->count == 0) {
                    if (drawsOwnFrame) {
                        const auto w = static_cast<std::uint16_t>(width),
                                   h = static_cast<std::uint16_t>(height);
                        const xcb_rectangle_t bands[] = {
                            {0, 0, w, static_cast<std::uint16_t>(margin.top)},
                            {0, static_cast<std::int16_t>(height - static_cast<int>(margin.bottom)), w,
                             static_cast<std::uint16_t>(margin.bottom)},
                            {0, 0, static_cast<std::uint16_t>(margin.left), h},
                            {static_cast<std::int16_t>(width - static_cast<int>(margin.right)), 0,
                             static_cast<std::uint16_t>(margin.right), h}};
                        xcb_poly_fill_rectangle(c, window, shadowGc, 4, bands);
                    }
                    const int visibleWidth = width - static_cast<int>(margin.left + margin.right);
                    const int visibleHeight = height - static_cast<int>(margin.top + margin.bottom);
                    if (font) {
                        drawLine(c, window, gc, title, width, height / 2 - 6);
                        drawLine(c, window, gc,
                                 std::to_string(visibleWidth) + " x " + std::to_string(visibleHeight), width,
                                 height / 2 + 18);
                    }
                    xcb_flush(c);
                }
                break;
            case XCB_CONFIGURE_NOTIFY: {
                auto* configure = reinterpret_cast<xcb_configure_notify_event_t*>(event);
                const bool resized = configure->width != width || configure->height != height;
                width = configure->width;
                height = configure->height;
                // The margins move with the size: paint afresh.
                if (resized && drawsOwnFrame) xcb_clear_area(c, 1, window, 0, 0, 0, 0);
                xcb_flush(c);
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
