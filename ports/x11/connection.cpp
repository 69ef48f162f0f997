#include "ports/x11/connection.hpp"

#include <cstring>

namespace corvane::x11 {

namespace {

xcb_atom_t intern(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie) {
    auto r = reply(c, cookie, xcb_intern_atom_reply);
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_intern_atom_cookie_t internRequest(xcb_connection_t* c, std::string_view name) {
    return xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data());
}

}  // namespace

std::unique_ptr<Connection> Connection::open(const char* displayName) {
    auto connection = std::make_unique<Connection>(Token{});
    connection->conn_ = xcb_connect(displayName, &connection->screenNumber_);
    if (displayName) connection->displayName_ = displayName;
    xcb_connection_t* c = connection->conn_;
    if (xcb_connection_has_error(c) != 0) return nullptr;

    const xcb_setup_t* setup = xcb_get_setup(c);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < connection->screenNumber_ && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem <= 0) return nullptr;
    connection->screen_ = screens.data;

    // Every intern request goes out before any reply is awaited: one round trip.
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(c, &connection->ewmh_);
    auto deleteCookie = internRequest(c, "WM_DELETE_WINDOW");
    auto utf8Cookie = internRequest(c, "UTF8_STRING");
    xcb_generic_error_t* error = nullptr;
    const bool ewmhOk = xcb_ewmh_init_atoms_replies(&connection->ewmh_, ewmhCookies, &error) != 0;
    std::free(error);
    connection->ewmhInitialised_ = ewmhOk;
    connection->atoms_.wmDeleteWindow = intern(c, deleteCookie);
    connection->atoms_.utf8String = intern(c, utf8Cookie);
    if (!ewmhOk || !connection->isAlive()) return nullptr;
    return connection;
}

Connection::~Connection() {
    if (ewmhInitialised_) xcb_ewmh_connection_wipe(&ewmh_);
    if (conn_) xcb_disconnect(conn_);
}

std::optional<std::vector<std::uint32_t>> Connection::cardinals(xcb_window_t window, xcb_atom_t property,
                                                                xcb_atom_t type,
                                                                std::uint32_t maxItems) const {
    if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return std::nullopt;
    auto r =
        reply(conn_, xcb_get_property(conn_, 0, window, property, type, 0, maxItems), xcb_get_property_reply);
    if (!r || r->type != type || r->format != 32) return std::nullopt;
    const int length = xcb_get_property_value_length(r.get());
    const auto count = static_cast<std::size_t>(length) / sizeof(std::uint32_t);
    std::vector<std::uint32_t> values(count);
    if (count > 0) std::memcpy(values.data(), xcb_get_property_value(r.get()), count * sizeof(std::uint32_t));
    return values;
}

std::optional<std::uint32_t> Connection::cardinal(xcb_window_t window, xcb_atom_t property,
                                                  xcb_atom_t type) const {
    auto values = cardinals(window, property, type, 1);
    if (!values || values->empty()) return std::nullopt;
    return values->front();
}

std::optional<std::string> Connection::atomName(xcb_atom_t atom) const {
    if (atom == XCB_ATOM_NONE) return std::nullopt;
    auto r = reply(conn_, xcb_get_atom_name(conn_, atom), xcb_get_atom_name_reply);
    if (!r) return std::nullopt;
    return std::string(xcb_get_atom_name_name(r.get()),
                       static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get())));
}

}  // namespace corvane::x11
