#include "tools/demo/wallpaper.hpp"

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace corvane::demo {

namespace {

constexpr std::array<std::uint32_t, 3> shades{0x39424cU, 0x44505aU, 0x4d4456U};

xcb_font_t openFont(xcb_connection_t* c) {
    for (const char* name : {"-misc-fixed-bold-r-normal--18-*-*-*-*-*-iso8859-1", "9x15bold", "fixed"}) {
        xcb_font_t font = xcb_generate_id(c);
        if (xcb_generic_error_t* error = xcb_request_check(
                c, xcb_open_font_checked(c, font, static_cast<std::uint16_t>(std::strlen(name)), name))) {
            std::free(error);
            continue;
        }
        return font;
    }
    return XCB_NONE;
}

xcb_rectangle_t rectangle(const Rect& r) {
    return xcb_rectangle_t{static_cast<std::int16_t>(r.x), static_cast<std::int16_t>(r.y),
                           static_cast<std::uint16_t>(r.width), static_cast<std::uint16_t>(r.height)};
}

}  // namespace

void paintWallpaper(xharness::XConnection& x, const std::vector<xharness::MonitorArea>& monitors) {
    xcb_connection_t* c = x.get();
    const xcb_screen_t& screen = x.screen();
    xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, screen.root_depth, pixmap, x.root(), screen.width_in_pixels,
                      screen.height_in_pixels);
    xcb_gcontext_t gc = xcb_generate_id(c);
    const xcb_font_t font = openFont(c);
    const std::uint32_t values[] = {0x101010U, font};
    xcb_create_gc(c, gc, pixmap, XCB_GC_FOREGROUND | (font ? XCB_GC_FONT : 0), values);

    xcb_rectangle_t everything{0, 0, screen.width_in_pixels, screen.height_in_pixels};
    xcb_poly_fill_rectangle(c, pixmap, gc, 1, &everything);
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const xharness::MonitorArea& m = monitors[i];
        const std::uint32_t shade = shades[i % shades.size()];
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &shade);
        xcb_rectangle_t area = rectangle(m.frame);
        xcb_poly_fill_rectangle(c, pixmap, gc, 1, &area);
        const std::uint32_t edge = 0x8a96a3U;
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, &edge);
        xcb_rectangle_t outline = area;
        outline.width = static_cast<std::uint16_t>(outline.width - 1);
        outline.height = static_cast<std::uint16_t>(outline.height - 1);
        xcb_poly_rectangle(c, pixmap, gc, 1, &outline);
        if (font) {
            const std::uint32_t text[] = {0xd0d6dcU, shade};
            xcb_change_gc(c, gc, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND, text);
            std::string label = "Display " + std::to_string(i + 1) + ": " + m.name + ", " +
                                std::to_string(static_cast<int>(m.frame.width)) + " x " +
                                std::to_string(static_cast<int>(m.frame.height)) +
                                (m.primary ? " (primary)" : "");
            xcb_image_text_8(c, static_cast<std::uint8_t>(label.size()), pixmap, gc,
                             static_cast<std::int16_t>(m.frame.x + 16),
                             static_cast<std::int16_t>(m.frame.maxY() - 16), label.c_str());
        }
    }
    xcb_change_window_attributes(c, x.root(), XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, x.root(), 0, 0, 0, 0);
    // The root keeps its own reference to the background.
    xcb_free_pixmap(c, pixmap);
    xcb_free_gc(c, gc);
    if (font) xcb_close_font(c, font);
    x.sync();
}

}  // namespace corvane::demo
