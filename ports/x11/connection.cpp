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

Connection::Link::~Link() {
    if (ewmhInitialised) xcb_ewmh_connection_wipe(&ewmh);
    if (conn) {
        xcb_disconnect(conn);
        RoundTrips::forget(conn);
    }
}

std::unique_ptr<Connection::Link> Connection::connect(const char* displayName, int* screenNumber) {
    auto link = std::make_unique<Link>();
    link->conn = xcb_connect(displayName, screenNumber);
    if (xcb_connection_has_error(link->conn) != 0) return nullptr;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(link->conn, &link->ewmh);
    xcb_generic_error_t* error = nullptr;
    link->ewmhInitialised = xcb_ewmh_init_atoms_replies(&link->ewmh, cookies, &error) != 0;
    std::free(error);
    if (!link->ewmhInitialised) return nullptr;
    return link;
}

std::unique_ptr<Connection::Link> Connection::connectWorker() const {
    int ignored = 0;
    if (auto link = connect(displayName_.empty() ? nullptr : displayName_.c_str(), &ignored)) return link;
    auto dead = std::make_unique<Link>();
    // xcb's own connection in the error state: requests on it fail at once.
    dead->conn = xcb_connect_to_fd(-1, nullptr);
    // The atoms and screens are the main link's (they do not change); the
    // requests go to the dead connection. Not ours to wipe.
    dead->ewmh = main_->ewmh;
    dead->ewmh.connection = dead->conn;
    dead->ewmhInitialised = false;
    return dead;
}

Connection::Link& Connection::link() const {
    if (onMainThread()) return *main_;
    std::lock_guard lock(workerMutex_);
    if (!worker_) worker_ = connectWorker();
    return *worker_;
}

void Connection::settle() const {
    if (onMainThread()) return;
    std::lock_guard lock(workerMutex_);
    if (!worker_ || xcb_connection_has_error(worker_->conn) != 0) worker_ = connectWorker();
}

std::unique_ptr<Connection> Connection::open(const char* displayName) {
    auto connection = std::make_unique<Connection>(Token{});
    if (displayName) connection->displayName_ = displayName;
    connection->main_ = connect(displayName, &connection->screenNumber_);
    if (!connection->main_) return nullptr;
    xcb_connection_t* c = connection->main_->conn;

    const xcb_setup_t* setup = xcb_get_setup(c);
    auto screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < connection->screenNumber_ && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem <= 0) return nullptr;
    connection->screen_ = screens.data;

    // Every intern request goes out before any reply is awaited: one round trip.
    auto deleteCookie = internRequest(c, "WM_DELETE_WINDOW");
    auto utf8Cookie = internRequest(c, "UTF8_STRING");
    auto shadowCookie = internRequest(c, "_GTK_FRAME_EXTENTS");
    connection->atoms_.wmDeleteWindow = intern(c, deleteCookie);
    connection->atoms_.utf8String = intern(c, utf8Cookie);
    connection->atoms_.gtkFrameExtents = intern(c, shadowCookie);
    if (!connection->isAlive()) return nullptr;
    return connection;
}

Connection::~Connection() = default;

std::optional<std::vector<std::uint32_t>> Connection::cardinals(xcb_window_t window, xcb_atom_t property,
                                                                xcb_atom_t type,
                                                                std::uint32_t maxItems) const {
    if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) return std::nullopt;
    xcb_connection_t* c = xcb();
    auto r = reply(c, xcb_get_property(c, 0, window, property, type, 0, maxItems), xcb_get_property_reply);
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
    xcb_connection_t* c = xcb();
    auto r = reply(c, xcb_get_atom_name(c, atom), xcb_get_atom_name_reply);
    if (!r) return std::nullopt;
    return std::string(xcb_get_atom_name_name(r.get()),
                       static_cast<std::size_t>(xcb_get_atom_name_name_length(r.get())));
}

}  // namespace corvane::x11
